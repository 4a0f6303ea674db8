// mosaiq-check: tells an author where a WVE file goes wrong.
#include "check/check_command.h"
#include "platform/program_system.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  mosaiq::ProgramSystem system = mosaiq::process_system();
  return mosaiq::run_guarded("mosaiq-check", [&] {
    return mosaiq::check::run_check(mosaiq::startup_arguments(argc, argv), system);
  });
}
