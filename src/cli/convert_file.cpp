#include "cli/convert_file.h"

#include <cstdio>

#include "cli/console.h"
#include "cli/file_identity.h"
#include "cli/file_names.h"
#include "cli/file_streams.h"
#include "cli/overwrite_prompt.h"
#include "convert/converter_state.h"
#include "convert/wve_conversion.h"

namespace mosaiq {

namespace {

FileResult fatal(Message message) { return {FileResult::fatal, message}; }

}  // namespace

FileResult convert_file(ConverterState& state, Console& console, const PathSyntax& syntax,
                        const std::string& argument, const std::string* output_name,
                        bool ask_before_overwrite) {
  const std::string input_name = make_input_name(argument, syntax);
  const std::string wrd_name = make_output_name(output_name ? *output_name : argument, syntax);

  if (ask_before_overwrite && file_exists(wrd_name) && !confirm_overwrite(console, wrd_name)) {
    return {FileResult::skipped, std::nullopt};
  }

  std::FILE* input = std::fopen(input_name.c_str(), "rb");
  if (input == nullptr) return fatal(Message::no_input_file);
  const FileIdentity input_identity = identify_open_file(input);
  if (input_identity.directory) {
    std::fclose(input);
    return fatal(Message::no_input_file);
  }
  // Opening the output truncates it: when it is the input itself, stop before that happens.
  if (same_file(input_identity, identify_path(wrd_name))) {
    std::fclose(input);
    return fatal(Message::same_file);
  }
  std::FILE* output = std::fopen(wrd_name.c_str(), "wb");
  if (output == nullptr) {
    std::fclose(input);
    return fatal(Message::cannot_open_output);
  }

  console.write_out(input_name + " ==> " + wrd_name + "\n");

  ConvertOutcome outcome;
  {
    FileSource source(input);
    FileSink sink(output);
    WveReader reader(source);
    WrdWriter writer(sink);
    outcome = convert_wve(state, reader, writer);
  }
  std::fclose(input);
  if (std::fclose(output) != 0 && outcome == ConvertOutcome::converted) {
    outcome = ConvertOutcome::write_error;
  }

  switch (outcome) {
    case ConvertOutcome::converted:
      return {FileResult::converted, std::nullopt};
    case ConvertOutcome::read_error:
      return fatal(Message::read_error);
    case ConvertOutcome::write_error:
      return fatal(Message::write_error);
    case ConvertOutcome::out_of_memory:
      return fatal(Message::out_of_memory);
  }
  return fatal(Message::write_error);
}

}  // namespace mosaiq
