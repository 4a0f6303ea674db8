// mosaiq-view: shows a WRD script (or a WVE file, converted first) without a music player.
#include "platform/program_system.h"
#include "platform/startup.h"
#include "view/view_command.h"

int main(int argc, char** argv) {
  mosaiq::ProgramSystem system = mosaiq::process_system();
  return mosaiq::run_guarded("mosaiq-view", [&] {
    return mosaiq::view::run_view(mosaiq::startup_arguments(argc, argv), system,
                                  mosaiq::view::open_system_terminal);
  });
}
