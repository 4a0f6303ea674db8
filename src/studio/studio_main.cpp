// mosaiq-studio: composes, draws and plays a WVE animation on its song, in the browser.
#include "platform/program_system.h"
#include "platform/startup.h"
#include "studio/studio_command.h"

int main(int argc, char** argv) {
  mosaiq::ProgramSystem system = mosaiq::process_system();
  return mosaiq::run_guarded("mosaiq-studio", [&] {
    return mosaiq::studio::run_studio(mosaiq::startup_arguments(argc, argv), system);
  });
}
