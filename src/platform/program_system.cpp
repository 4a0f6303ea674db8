#include "platform/program_system.h"

#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"

namespace mosaiq {

ProgramSystem process_system() {
  static const PathSyntax syntax = native_path_syntax();
  return {system_console(), system_files(), syntax};
}

}  // namespace mosaiq
