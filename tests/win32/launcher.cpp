// Starts a program with an exact command line, which is how Windows hands a process its
// arguments: one string that the program splits itself. Wine rebuilds the command line from its
// own arguments, so the end-to-end cases that test the splitting go through this launcher.
//
// usage: launcher PROGRAM COMMAND-LINE-FILE
// The file holds the command line byte for byte (no line end is added or removed). Standard
// input, output and error are handed on; the exit status is the program's, or 125 when the
// launcher itself fails.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool read_whole_file(const char* name, std::string& text) {
  std::FILE* file = std::fopen(name, "rb");
  if (!file) return false;
  char block[4096];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  bool read_all = !std::ferror(file);
  std::fclose(file);
  return read_all;
}

HANDLE inheritable(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr) {
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  return handle;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: launcher PROGRAM COMMAND-LINE-FILE\n", stderr);
    return 125;
  }
  std::string line;
  if (!read_whole_file(argv[2], line)) {
    std::fprintf(stderr, "launcher: cannot read %s\n", argv[2]);
    return 125;
  }
  std::vector<char> writable(line.begin(), line.end());
  writable.push_back('\0');

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritable(STD_INPUT_HANDLE);
  startup.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
  startup.hStdError = inheritable(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[1], writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "launcher: cannot start %s (error %lu)\n", argv[1],
                 static_cast<unsigned long>(GetLastError()));
    return 125;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 125;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
