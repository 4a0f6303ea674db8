// In-memory stand-ins for the files and the console, shared by the unit tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "convert/converter_state.h"
#include "convert/memory_streams.h"
#include "convert/wrd_writer.h"
#include "convert/wve_conversion.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"
#include "platform/shift_jis.h"

namespace mosaiq::testing {

// The lead bytes of Shift_JIS, as the Japanese code page of Windows has them.
constexpr LeadByteTest shift_jis_lead = is_sjis_lead;

// The path rules of the two platforms.
constexpr PathSyntax posix_paths{'/', nullptr};
constexpr PathSyntax windows_paths{'\\', shift_jis_lead};

// A state whose output goes to an in-memory writer, for driving the panel and the painter.
struct EngineFixture {
  EngineFixture() : writer(sink) { state.output_file = &writer; }
  std::string output() {
    writer.flush();
    return sink.bytes;
  }
  MemorySink sink;
  WrdWriter writer;
  ConverterState state;
};

// The script header every conversion starts with.
extern const char* const wrd_header;

// The lines joined, each ended with CR LF as in a WRD file.
std::string wrd_lines(const std::vector<std::string>& lines);

// The WVE text: the lines, each ended with "\n".
std::string wve_lines(const std::vector<std::string>& lines);

class FakeConsole : public Console {
 public:
  explicit FakeConsole(std::string input = "") : input_(std::move(input)) {}
  bool write_out(std::string_view text) override { return take(out, text); }
  bool write_err(std::string_view text) override { return take(err, text); }
  bool read_line(std::string& line) override;
  void discard_typeahead() override { ++discards; }
  bool text_is_utf8() override { return utf8; }
  bool output_is_terminal() override { return terminal; }
  bool error_is_terminal() override { return terminal; }
  std::string variable(const char* name) override;

  std::string out;
  std::string err;
  int discards = 0;
  bool utf8 = false;
  bool terminal = false;
  bool writes_fail = false;  // every write fails, and writes nothing
  std::map<std::string, std::string> variables;

 private:
  bool take(std::string& stream, std::string_view text);

  std::string input_;
  std::size_t position_ = 0;
};

// Files in memory: names and their bytes, standard input, folders, links, names that cannot be
// written, and outputs that take only so many bytes.
class MemoryFiles : public FileAccess {
 public:
  bool exists(const std::string& name) override;
  std::unique_ptr<InputFile> open_input(const std::string& name, std::string& why) override;
  std::unique_ptr<InputFile> open_standard_input() override;
  bool is_input(const InputFile& input, const std::string& name) override;
  std::unique_ptr<OutputFile> create_output(const std::string& name) override;
  bool same_file(const std::string& a, const std::string& b) override;
  // A folder's entries: the files whose names begin with its name and a "/".
  bool list_folder(const std::string& name, std::vector<std::string>& entries,
                   std::string& why) override;
  std::string link_target(const std::string& name) override { return resolve(name); }
  bool stamp(const std::string& name, FileStamp& stamp) override;
  bool make_folders(const std::string& name, std::string& why) override;
  bool remove_file(const std::string& name) override { return files.erase(name) != 0; }
  FileKind kind(const std::string& name) override;
  bool write_whole(const std::string& name, const Producer& produce, std::string& why) override;

  std::map<std::string, std::string> files;
  std::string standard_input;
  std::set<std::string> folders;
  std::set<std::string> devices;                   // names that reach no regular file, nor a folder
  std::map<std::string, std::int64_t> written_at;  // by write_whole(), in order
  std::int64_t clock = 0;
  std::map<std::string, std::string> links;  // a name, and the name it reaches
  std::set<std::string> unwritable;
  std::size_t write_limit = std::string::npos;    // bytes an output takes before writes fail
  std::size_t read_fails_at = std::string::npos;  // where reading an input fails

 private:
  std::string resolve(const std::string& name) const;
};

// Songs built byte by byte.
// One event of a track: the ticks since the one before, and its bytes.
struct MidiEvent {
  std::uint32_t delta;
  std::string bytes;
};

inline std::string variable_length(std::uint32_t value) {
  std::string out(1, static_cast<char>(value & 0x7f));
  while (value >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7f)));
  return out;
}

inline std::string big_endian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xff);
  return out;
}

inline MidiEvent tempo(std::uint32_t delta, std::uint32_t quarter_notes_a_minute) {
  return {delta, "\xff\x51\x03" + big_endian(60000000 / quarter_notes_a_minute, 3)};
}

inline MidiEvent signature(int numerator, int power_of_denominator) {
  return {0, std::string("\xff\x58\x04", 3) + static_cast<char>(numerator) +
                 static_cast<char>(power_of_denominator) + std::string("\x18\x08", 2)};
}

inline MidiEvent note(std::uint32_t delta) { return {delta, "\x90\x3c\x40"}; }

inline std::string track(const std::vector<MidiEvent>& events) {
  std::string data;
  for (const MidiEvent& event : events) data += variable_length(event.delta) + event.bytes;
  data += std::string("\x00\xff\x2f\x00", 4);
  return "MTrk" + big_endian(static_cast<std::uint32_t>(data.size()), 4) + data;
}

inline std::string midi_file(int format, std::uint32_t division,
                             const std::vector<std::vector<MidiEvent>>& tracks) {
  std::string file = "MThd" + big_endian(6, 4) + big_endian(format, 2) +
                     big_endian(static_cast<std::uint32_t>(tracks.size()), 2) +
                     big_endian(division, 2);
  for (const auto& events : tracks) file += track(events);
  return file;
}

}  // namespace mosaiq::testing
