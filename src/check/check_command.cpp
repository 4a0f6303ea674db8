#include "check/check_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "check/check_options.h"
#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "cli/file_identity.h"
#include "cli/file_names.h"
#include "cli/standard_streams.h"
#include "startup.h"

namespace mosaiq::check {

namespace {

// A file read from its start; it can be read again, and tells whether bytes follow a point.
class FileCheckSource : public CheckedSource {
 public:
  explicit FileCheckSource(std::FILE* file) : file_(file) {}

  long read(char* buffer, std::size_t size) override {
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) {
      error_ = errno;
      return -1;
    }
    delivered_ += count;
    return static_cast<long>(count);
  }

  bool bytes_after(std::uint64_t offset) override {
    if (delivered_ > offset + 1) return true;
    char byte;
    return std::fread(&byte, 1, 1, file_) == 1;
  }

  bool rewind() {
    delivered_ = 0;
    if (std::fseek(file_, 0, SEEK_SET) == 0) return true;
    error_ = errno;
    return false;
  }

  int error() const { return error_; }

 private:
  std::FILE* file_;
  std::uint64_t delivered_ = 0;
  int error_ = 0;
};

// Help and version: the run fails when they cannot be written.
int print_text(const char* text) {
  std::fputs(text, stdout);
  return std::fflush(stdout) == 0 ? 0 : 2;
}

void say(const std::string& text) {
  std::fflush(stdout);
  std::fputs(text.c_str(), stderr);
}

// The problem with the command line, and the usage line; the status of a failed run.
int usage_error(const std::string& problem) {
  say("mosaiq-check: " + problem + "\n" + check_usage);
  return 2;
}

void cannot_read(const std::string& name, int error) {
  say("mosaiq-check: cannot read " + name + ": " + std::strerror(error) + "\n");
}

bool colour_wanted(const CheckOptions& options) {
  if (options.format != Format::text || options.color == ColorMode::never) return false;
  if (options.color == ColorMode::always) return true;
  const char* no_color = std::getenv("NO_COLOR");
  return standard_output_is_terminal() && (no_color == nullptr || *no_color == '\0');
}

// Checks one file; false when it could not be read.
bool check_file(const std::string& argument, const CheckOptions& options, FindingWriter& writer) {
  const std::string name = make_input_name(argument, native_path_syntax());
  FileIdentity identity;
  std::FILE* file = open_for_reading(name, identity);
  if (file == nullptr) {
    cannot_read(name, errno);
    return false;
  }
  FileCheckSource source(file);
  CheckSettings settings;
  std::copy(std::begin(options.ignored), std::end(options.ignored), settings.ignored);
  settings.beats_per_measure = options.beats_per_measure;
  // Without a measure length the largest beat stands in as it grows; findings wait until the
  // file is through, and in the rare file where the stand-in mattered before its last growth,
  // the file is checked again with the length it turned out to have.
  writer.begin_file();
  CheckSummary summary = check_wve(source, name, settings, writer);
  bool readable = !summary.read_failed;
  if (readable && !summary.timing_exact) {
    writer.discard_file();
    writer.begin_file();
    settings.beats_per_measure = summary.beats_per_measure;
    readable = source.rewind() && !check_wve(source, name, settings, writer).read_failed;
  }
  writer.commit_file();
  if (!readable) cannot_read(name, source.error());
  std::fclose(file);
  return readable;
}

}  // namespace

int run_check(const std::vector<std::string>& arguments) {
  CheckOptions options;
  std::string problem;
  const CommandRequest request = parse_check_options(arguments, options, problem);
  if (request == CommandRequest::help) return print_text(check_help);
  if (request == CommandRequest::version) return print_text("mosaiq-check " MOSAIQ_VERSION "\n");
  if (request == CommandRequest::bad_usage) return usage_error(problem);
  WriterSettings settings;
  settings.format = options.format;
  settings.colour = colour_wanted(options);
  settings.encoding = console_text_is_utf8() ? TextEncoding::utf8 : TextEncoding::file_bytes;
  FindingWriter writer(stdout, settings);
  int status = 0;
  for (const std::string& file : options.files) {
    if (!check_file(file, options, writer)) status = 2;
  }
  if (!writer.finish()) {
    say(std::string("mosaiq-check: cannot write the findings: ") + std::strerror(errno) + "\n");
    return 2;
  }
  return status != 0 ? status : writer.count() > 0 ? 1 : 0;
}

}  // namespace mosaiq::check
