// What each of the author's tools reaches the system through: the console, the files and the
// platform's path rules. The programs take it as an argument; their tests hand them a console
// and files in memory.
#pragma once

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

}  // namespace mosaiq
