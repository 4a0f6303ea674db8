// mosaiq: converts WVE animations into WRD display scripts.
#include <new>

#include "cli/command_line.h"
#include "cli/convert_file.h"
#include "cli/messages.h"
#include "convert/converter_state.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  mosaiq::ConverterState state;
  const mosaiq::PathSyntax syntax = mosaiq::native_path_syntax();
  mosaiq::FrontEnd front_end{state, mosaiq::system_console(), mosaiq::system_files(), syntax};
  try {
    return mosaiq::run_command_line(front_end, mosaiq::startup_arguments(argc, argv));
  } catch (const std::bad_alloc&) {
    // Memory short anywhere but for the frame buffers, which say so themselves: the same
    // message, once the run's own memory is given back.
    state = mosaiq::ConverterState{};
    return mosaiq::fatal_error(front_end.console, mosaiq::Message::out_of_memory);
  }
}
