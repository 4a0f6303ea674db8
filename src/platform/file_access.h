// The files the programs read and write: the system's, or files in memory in tests.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/byte_streams.h"
#include "platform/file_system.h"

namespace mosaiq {

class InputFile : public ByteSource {
 public:
  // Standard input can be read again too: what was read of it is kept aside for that.
  bool rewind() override = 0;
  // Why the last read failed, in the system's words.
  virtual std::string failure() const = 0;
};

class OutputFile : public ByteSink {
 public:
  // Writes what is left and closes the file; false when that failed.
  virtual bool close() = 0;
};

class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // Whether a file of that name can be opened for reading; a folder cannot.
  virtual bool exists(const std::string& name) = 0;
  // The file, open for reading; null, with `why` in the system's words, when it cannot be
  // opened or is a folder.
  virtual std::unique_ptr<InputFile> open_input(const std::string& name, std::string& why) = 0;
  virtual std::unique_ptr<InputFile> open_standard_input() = 0;
  // Whether `name` reaches the open input file itself, under any of its names or through a link.
  virtual bool is_input(const InputFile& input, const std::string& name) = 0;
  // The file, created or emptied for writing in place; null when it cannot be opened so.
  virtual std::unique_ptr<OutputFile> create_output(const std::string& name) = 0;
  // The names in a folder, in no order; false, with `why` in the system's words, when `name` is
  // no folder or cannot be read.
  virtual bool list_folder(const std::string& name, std::vector<std::string>& entries,
                           std::string& why) = 0;
  // Whether both names reach one existing file, through links too.
  virtual bool same_file(const std::string& a, const std::string& b) = 0;
  // What changes when the file a name reaches is written; false when it cannot be examined.
  virtual bool stamp(const std::string& name, FileStamp& stamp) = 0;
  // The name a link leads to, through every link; the name itself when it is no link.
  virtual std::string link_target(const std::string& name) = 0;
  // Writes the bytes to a temporary file beside `name`, every write checked and the file
  // synced, then renames it to `name`: a failure leaves no half file and destroys nothing.
  // False, with `why` in the system's words, when it could not be written.
  virtual bool write_atomically(const std::string& name, std::string_view bytes,
                                std::string& why) = 0;
};

// The system's files, read and written as bytes.
FileAccess& system_files();

// Reads all of a file ("-": standard input) into `bytes`, stopping once more than `limit` are
// in: a larger file shows as bytes.size() > limit. False, with `why`, when it cannot be read.
bool read_whole_file(FileAccess& files, const std::string& name, std::size_t limit,
                     std::string& bytes, std::string& why);

// A size in the words of the messages: "256 MiB", "1 GiB", "512 bytes".
std::string size_words(std::size_t bytes);

}  // namespace mosaiq
