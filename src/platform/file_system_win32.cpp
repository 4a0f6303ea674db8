#include "platform/file_system.h"

#include <io.h>
#include <windows.h>

#include <cerrno>

namespace mosaiq {

namespace {

FileIdentity from_handle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return {};
  FileIdentity identity;
  identity.known = true;
  identity.directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  identity.regular = !identity.directory && GetFileType(handle) == FILE_TYPE_DISK;
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return identity;
}

std::string system_words(DWORD error) {
  char text[256];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof text, nullptr);
  std::string words(text, length);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) {
    words.pop_back();
  }
  return words;
}

}  // namespace

FileIdentity identify_open_file(std::FILE* file) {
  return from_handle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

FileIdentity identify_path(const std::string& name) {
  // Backup semantics let a directory be opened too, so that it can be told apart.
  HANDLE handle =
      CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const FileIdentity identity = from_handle(handle);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return identity;
}

FileKind kind_of_path(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // Devices such as NUL or CON have no attributes to tell but exist all the same.
    const FileIdentity identity = identify_path(name);
    return identity.known ? FileKind::other : FileKind::missing;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileKind::folder;
  return identify_path(name).regular ? FileKind::regular : FileKind::other;
}

std::int64_t size_of_open_file(std::FILE* file) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  LARGE_INTEGER size;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) return -1;
  return static_cast<std::int64_t>(size.QuadPart);
}

bool stamp_path(const std::string& name, FileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data)) return false;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.written = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  stamp.index = identify_path(name).index;
  return true;
}

bool folder_entries(const std::string& name, std::vector<std::string>& entries) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    errno = attributes == INVALID_FILE_ATTRIBUTES ? ENOENT : ENOTDIR;
    return false;
  }
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((name + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return true;  // an empty folder
  do {
    const std::string entry_name = entry.cFileName;
    if (entry_name != "." && entry_name != "..") entries.push_back(entry_name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return true;
}

bool make_folders(const std::string& name) {
  for (std::size_t at = name.find_first_of("\\/", 3);; at = name.find_first_of("\\/", at + 1)) {
    const std::string part = name.substr(0, at);
    if (!part.empty() && !CreateDirectoryA(part.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      errno = EACCES;
      return false;
    }
    if (at == std::string::npos) break;
  }
  return kind_of_path(name) == FileKind::folder || (errno = ENOTDIR, false);
}

bool remove_file(const std::string& name) {
  if (DeleteFileA(name.c_str())) return true;
  errno = EACCES;
  return false;
}

std::string follow_links(const std::string& name) {
  HANDLE handle =
      CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return name;
  char path[MAX_PATH];
  const DWORD length = GetFinalPathNameByHandleA(handle, path, sizeof path, 0);
  CloseHandle(handle);
  return length > 0 && length < sizeof path ? std::string(path, length) : name;
}

namespace {

// Writes to a file handle; the first failure is kept in words.
class HandleSink : public ByteSink {
 public:
  explicit HandleSink(HANDLE file) : file_(file) {}
  bool write(const char* data, std::size_t size) override {
    while (failure.empty() && size > 0) {
      const DWORD part = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
      DWORD written = 0;
      if (!WriteFile(file_, data, part, &written, nullptr) || written == 0) {
        failure = system_words(GetLastError());
        break;
      }
      data += written;
      size -= written;
    }
    return failure.empty();
  }
  std::string failure;

 private:
  HANDLE file_;
};

}  // namespace

bool replace_file(const std::string& name, const Producer& produce, std::string& why) {
  const std::string temporary = name + ".tmp-" + std::to_string(GetCurrentProcessId());
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    why = system_words(GetLastError());
    return false;
  }
  HandleSink sink(file);
  std::string problem;
  bool good = produce(sink, problem);
  if (!good) why = sink.failure.empty() ? problem : sink.failure;
  if (good && !FlushFileBuffers(file)) {
    good = false;
    why = system_words(GetLastError());
  }
  if (!CloseHandle(file) && good) {
    good = false;
    why = system_words(GetLastError());
  }
  if (good && !MoveFileExA(temporary.c_str(), name.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    good = false;
    why = system_words(GetLastError());
  }
  if (!good) DeleteFileA(temporary.c_str());
  return good;
}

}  // namespace mosaiq
