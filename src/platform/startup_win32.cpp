#include "platform/startup.h"

#include <windows.h>

#include "platform/argument_list.h"

// The C runtime neither splits nor expands the command line for us: the program does both.
extern "C" {
int _dowildcard = 0;
}

namespace mosaiq {

namespace {

bool ansi_lead_byte(unsigned char byte) { return IsDBCSLeadByteEx(GetACP(), byte) != 0; }

std::vector<std::string> find_entries(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.emplace_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

}  // namespace

std::vector<std::string> startup_arguments(int, char**) {
  const char* line = GetCommandLineA();
  return expand_arguments(split_command_line(line ? line : "", ansi_lead_byte), ansi_lead_byte,
                          find_entries);
}

PathSyntax native_path_syntax() { return PathSyntax{'\\', ansi_lead_byte}; }

}  // namespace mosaiq
