// What each of the author's tools reaches the system through: the console, the files and the
// platform's path rules. The programs take it as an argument; their tests hand them a console
// and files in memory.
#pragma once

#include <functional>

namespace mosaiq {

class Console;
class FileAccess;
struct PathSyntax;

struct ProgramSystem {
  Console& console;
  FileAccess& files;
  const PathSyntax& syntax;
};

// The process's own console and files, and the platform's path rules.
ProgramSystem process_system();

// Runs a program's command. An allocation that fails anywhere in it ends the run with one line
// on standard error, "PROGRAM: out of memory", and status 2: no abort, and the files as the
// output rules leave them (a file written whole is not half written).
int run_guarded(const char* program, const std::function<int()>& command);

}  // namespace mosaiq
