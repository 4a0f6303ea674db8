// mosaiq-check: tells an author where a WVE file goes wrong.
#include "check/check_command.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  const mosaiq::PathSyntax syntax = mosaiq::native_path_syntax();
  return mosaiq::check::run_check(mosaiq::startup_arguments(argc, argv), mosaiq::system_console(),
                                  mosaiq::system_files(), syntax);
}
