// mosaiq: converts WVE animations into WRD display scripts.
#include "cli/command_line.h"
#include "cli/convert_file.h"
#include "convert/converter_state.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  mosaiq::ConverterState state;
  const mosaiq::PathSyntax syntax = mosaiq::native_path_syntax();
  mosaiq::FrontEnd front_end{state, mosaiq::system_console(), mosaiq::system_files(), syntax};
  return mosaiq::run_command_line(front_end, mosaiq::startup_arguments(argc, argv));
}
