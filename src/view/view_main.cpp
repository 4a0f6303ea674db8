// mosaiq-view: shows a WRD script (or a WVE file, converted first) without a music player.
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"
#include "view/view_command.h"

int main(int argc, char** argv) {
  const mosaiq::PathSyntax syntax = mosaiq::native_path_syntax();
  mosaiq::view::ViewSystem system{mosaiq::system_console(), mosaiq::system_files(), syntax,
                                  mosaiq::view::open_system_terminal};
  return mosaiq::view::run_view(mosaiq::startup_arguments(argc, argv), system);
}
