#include "platform/program_system.h"

#include <cstdio>
#include <new>

#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/startup.h"

namespace mosaiq {

int run_guarded(const char* program, const std::function<int()>& command) {
  try {
    return command();
  } catch (const std::bad_alloc&) {
    // Said without allocating: the memory may still be short.
    std::fflush(stdout);
    std::fputs(program, stderr);
    std::fputs(": out of memory\n", stderr);
    return 2;
  }
}

ProgramSystem process_system() {
  static const PathSyntax syntax = native_path_syntax();
  return {system_console(), system_files(), syntax};
}

}  // namespace mosaiq
