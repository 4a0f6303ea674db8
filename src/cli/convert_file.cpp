#include "cli/convert_file.h"

#include "cli/overwrite_prompt.h"
#include "convert/converter_state.h"
#include "convert/wrd_writer.h"
#include "convert/wve_conversion.h"
#include "convert/wve_reader.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq {

namespace {

FileResult fatal(Message message) { return {FileResult::fatal, message}; }

FileResult result_of(ConvertOutcome outcome) {
  switch (outcome) {
    case ConvertOutcome::converted: return {FileResult::converted, std::nullopt};
    case ConvertOutcome::read_error: return fatal(Message::read_error);
    case ConvertOutcome::write_error: return fatal(Message::write_error);
    case ConvertOutcome::out_of_memory: return fatal(Message::out_of_memory);
  }
  return fatal(Message::write_error);
}

}  // namespace

FileResult convert_file(FrontEnd& front_end, const std::string& argument,
                        const std::string* output_name, bool ask_before_overwrite) {
  FileAccess& files = front_end.files;
  const std::string input_name = make_input_name(argument, front_end.syntax);
  const std::string wrd_name =
      make_output_name(output_name ? *output_name : argument, front_end.syntax);

  if (ask_before_overwrite && files.exists(wrd_name) &&
      !confirm_overwrite(front_end.console, wrd_name)) {
    return {FileResult::skipped, std::nullopt};
  }
  std::string why;
  std::unique_ptr<InputFile> input = files.open_input(input_name, why);
  if (!input) return fatal(Message::no_input_file);
  // Opening the output empties it: when it is the input itself, stop before that happens.
  if (files.is_input(*input, wrd_name)) return fatal(Message::same_file);
  std::unique_ptr<OutputFile> output = files.create_output(wrd_name);
  if (!output) return fatal(Message::cannot_open_output);

  front_end.console.write_out(input_name + " ==> " + wrd_name + "\n");
  ConvertOutcome outcome;
  {
    WveReader reader(*input);
    WrdWriter writer(*output);
    outcome = convert_wve(front_end.state, reader, writer);
  }
  input.reset();
  if (!output->close() && outcome == ConvertOutcome::converted) {
    outcome = ConvertOutcome::write_error;
  }
  return result_of(outcome);
}

}  // namespace mosaiq
