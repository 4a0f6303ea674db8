// mosaiq-import: turns pixel art into a WVE file on the song's beats.
#include "import/import_command.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  const mosaiq::PathSyntax syntax = mosaiq::native_path_syntax();
  mosaiq::import::ImportSystem system{mosaiq::system_console(), mosaiq::system_files(), syntax};
  return mosaiq::import::run_import(mosaiq::startup_arguments(argc, argv), system);
}
