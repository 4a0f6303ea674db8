// The files the front end opens: the system's, or files in memory in tests.
#pragma once

#include <memory>
#include <string>

#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq {

class InputFile : public ByteSource {};

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
  // The file, open for reading; null when it cannot be opened or is a folder.
  virtual std::unique_ptr<InputFile> open_input(const std::string& name) = 0;
  // Whether `name` reaches the open input file itself, under any of its names or through a link.
  virtual bool is_input(const InputFile& input, const std::string& name) = 0;
  // The file, created or emptied for writing; null when it cannot be opened so.
  virtual std::unique_ptr<OutputFile> create_output(const std::string& name) = 0;
};

// The system's files, read and written as bytes.
FileAccess& system_files();

}  // namespace mosaiq
