// mosaiq-import: turns pixel art into a WVE file on the song's beats.
#include "import/import_command.h"
#include "platform/program_system.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  mosaiq::ProgramSystem system = mosaiq::process_system();
  return mosaiq::run_guarded("mosaiq-import", [&] {
    return mosaiq::import::run_import(mosaiq::startup_arguments(argc, argv), system);
  });
}
