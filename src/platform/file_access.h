// The files the programs read and write: the system's, or files in memory in tests.
#pragma once

#include <cstddef>
#include <functional>
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
  // How many bytes the file holds; -1 when it cannot tell (standard input, a pipe).
  virtual std::int64_t size() const = 0;
};

class OutputFile : public ByteSink {
 public:
  // Writes what is left and closes the file; false when that failed.
  virtual bool close() = 0;
};

class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // Whether a file of that name can be opened for reading; a folder cannot. (It opens the file:
  // a fifo blocks the asking. The converter asks so; the other programs ask kind().)
  virtual bool exists(const std::string& name) = 0;
  // What the name reaches, through links, told without opening it.
  virtual FileKind kind(const std::string& name) = 0;
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
  // Makes a folder and those above it that are missing; false, with `why`, when it cannot.
  virtual bool make_folders(const std::string& name, std::string& why) = 0;
  // Removes a file the program keeps for itself (a cache's); false when it cannot.
  virtual bool remove_file(const std::string& name) = 0;
  // Writes what `produce` hands its sink to a temporary file beside `name`, every write checked
  // and the file synced, then renames it to `name`: a failure leaves no half file and destroys
  // nothing, an interrupted run no temporary file. False, with `why` in the system's words (or
  // the producer's problem), when it could not be written.
  virtual bool write_whole(const std::string& name, const Producer& produce, std::string& why) = 0;

  // write_whole() of bytes at hand.
  bool write_atomically(const std::string& name, std::string_view bytes, std::string& why) {
    return write_whole(
        name,
        [bytes](ByteSink& out, std::string&) { return out.write(bytes.data(), bytes.size()); },
        why);
  }
};

// The system's files, read and written as bytes.
FileAccess& system_files();

enum class WholeFile {
  read,        // `bytes` holds it all
  unreadable,  // `why` says why, in the system's words
  too_large,   // more than the limit: `why` says "larger than N MiB"
  refused,     // its first bytes are not what the caller reads: `why` says what it is not
};

// What a caller makes of a file's first bytes (its first 64 KiB, or all of it): empty when the
// file is one it reads, else why it is not.
using FirstBytesJudge = std::function<std::string(std::string_view first_bytes)>;

// Reads all of a file ("-": standard input) into `bytes`. A file that tells its size is refused
// by it before anything is read, and read into room of that size; one that does not, read until
// more than `limit` bytes are in. With a judge, a file it refuses is not read past its first
// bytes. Nothing of a file not read whole is kept.
WholeFile read_whole_file(FileAccess& files, const std::string& name, std::size_t limit,
                          std::string& bytes, std::string& why,
                          const FirstBytesJudge& judge = nullptr);

// Reads the first `count` bytes of a file (fewer when it is shorter), to judge it by them before
// the rest is read. False, with `why`, when it cannot be read.
bool read_file_start(FileAccess& files, const std::string& name, std::size_t count,
                     std::string& bytes, std::string& why);

// A size in the words of the messages: "256 MiB", "1 GiB", "512 bytes".
std::string size_words(std::size_t bytes);

}  // namespace mosaiq
