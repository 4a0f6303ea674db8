// The I/O the converter cannot avoid, done with its own reader and writer: every line of the WVE
// input through the line reader, and the bytes of a finished WRD script through the writer.
//
// usage: io_baseline IN.wve SCRIPT.wrd COPY.wrd
#include <cstdio>
#include <cstring>

#include "cli/file_streams.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: io_baseline IN.wve SCRIPT.wrd COPY.wrd\n");
    return 1;
  }
  std::FILE* input = std::fopen(argv[1], "rb");
  std::FILE* script = std::fopen(argv[2], "rb");
  std::FILE* copy = std::fopen(argv[3], "wb");
  if (!input || !script || !copy) return 2;

  mosaiq::FileSource source(input);
  static mosaiq::WveReader reader(source);
  unsigned long long checksum = 0;
  mosaiq::WveLine line;
  while (reader.next_line(line) == mosaiq::ReadStatus::line) checksum += line.text.size();

  // The script goes through the writer a line at a time, as the converter hands it over.
  mosaiq::FileSink sink(copy);
  static mosaiq::WrdWriter writer(sink);
  static char block[1 << 16];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, script)) > 0) {
    const char* start = block;
    const char* stop = block + count;
    while (const void* newline = std::memchr(start, '\n', static_cast<std::size_t>(stop - start))) {
      const char* next = static_cast<const char*>(newline) + 1;
      writer.put(start, static_cast<std::size_t>(next - start));
      start = next;
    }
    writer.put(start, static_cast<std::size_t>(stop - start));
  }
  const bool written = writer.flush();
  std::fclose(input);
  std::fclose(script);
  const bool closed = std::fclose(copy) == 0;
  std::printf("%llu\n", checksum);
  return written && closed ? 0 : 2;
}
