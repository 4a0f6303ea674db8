// mosaiq: converts WVE animations into WRD display scripts.
#include "cli/command_line.h"
#include "cli/console.h"
#include "convert/converter_state.h"
#include "startup.h"

int main(int argc, char** argv) {
  mosaiq::ConverterState state;
  const std::vector<std::string> arguments = mosaiq::startup_arguments(argc, argv);
  return mosaiq::run_command_line(state, mosaiq::system_console(), mosaiq::native_path_syntax(),
                                  arguments);
}
