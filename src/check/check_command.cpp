#include "check/check_command.h"

#include <algorithm>
#include <iterator>

#include "check/check_options.h"
#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "check/wve_outline.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq::check {

namespace {

bool colour_wanted(const CheckOptions& options, Console& console) {
  if (options.format != Format::text || options.color == ColorMode::never) return false;
  if (options.color == ColorMode::always) return true;
  return console.output_is_terminal() && console.variable("NO_COLOR").empty();
}

// Checks one file, read twice: an outline first, then the checks. False when it could not be
// read.
bool check_file(const std::string& argument, const CheckOptions& options, FileAccess& files,
                const PathSyntax& syntax, FindingWriter& writer, Reporter& reporter) {
  const std::string name = argument == "-" ? argument : make_input_name(argument, syntax);
  std::string why;
  std::unique_ptr<InputFile> input =
      name == "-" ? files.open_standard_input() : files.open_input(name, why);
  if (!input) {
    reporter.say("cannot read " + name + ": " + why);
    return false;
  }
  CheckSettings settings;
  std::copy(std::begin(options.ignored), std::end(options.ignored), settings.ignored);
  settings.beats_per_measure = options.beats_per_measure;
  const WveOutline outline = outline_wve(*input);
  const bool readable =
      !outline.read_failed && input->rewind() && check_wve(*input, outline, name, settings, writer);
  if (!readable) reporter.say("cannot read " + name + ": " + input->failure());
  return readable;
}

}  // namespace

int run_check(const std::vector<std::string>& arguments, Console& console, FileAccess& files,
              const PathSyntax& syntax) {
  Reporter reporter(console, "mosaiq-check");
  CheckOptions options;
  std::string problem;
  const CommandRequest request = parse_check_options(arguments, options, problem);
  const int answered = reporter.answer(request, check_help, check_usage, problem);
  if (answered >= 0) return answered;
  WriterSettings settings;
  settings.format = options.format;
  settings.colour = colour_wanted(options, console);
  settings.encoding = console.text_is_utf8() ? TextEncoding::utf8 : TextEncoding::file_bytes;
  FindingWriter writer(reporter, settings);
  int status = 0;
  for (const std::string& file : options.files) {
    if (!check_file(file, options, files, syntax, writer, reporter)) status = 2;
  }
  writer.finish();
  if (reporter.failed()) {
    reporter.say("cannot write the findings: " + reporter.failure());
    return 2;
  }
  return status != 0 ? status : writer.count() > 0 ? 1 : 0;
}

}  // namespace mosaiq::check
