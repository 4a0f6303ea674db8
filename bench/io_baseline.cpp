// The I/O the converter cannot avoid, done with its own reader and writer: every line of the WVE
// input through the line reader, and the bytes of a finished WRD script through the writer.
//
// usage: io_baseline IN.wve SCRIPT.wrd COPY.wrd
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"
#include "platform/file_access.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: io_baseline IN.wve SCRIPT.wrd COPY.wrd\n");
    return 1;
  }
  mosaiq::FileAccess& files = mosaiq::system_files();
  std::string why;
  std::unique_ptr<mosaiq::InputFile> input = files.open_input(argv[1], why);
  std::FILE* script = std::fopen(argv[2], "rb");
  std::unique_ptr<mosaiq::OutputFile> copy = files.create_output(argv[3]);
  if (!input || !script || !copy) return 2;

  mosaiq::WveReader reader(*input);
  unsigned long long checksum = 0;
  mosaiq::WveLine line;
  while (reader.next_line(line) == mosaiq::ReadStatus::line) checksum += line.text.size();

  // The script goes through the writer a line at a time, as the converter hands it over.
  mosaiq::WrdWriter writer(*copy);
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
  std::fclose(script);
  const bool closed = copy->close();
  std::printf("%llu\n", checksum);
  return written && closed ? 0 : 2;
}
