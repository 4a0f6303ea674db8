#include "check/finding_writer.h"

namespace mosaiq::check {

namespace {

constexpr std::size_t flush_at = 64 * 1024;
constexpr std::size_t spill_at = 1024 * 1024;

const char* const bold = "\x1b[1m";
const char* const magenta = "\x1b[1;35m";
const char* const green = "\x1b[1;32m";
const char* const plain = "\x1b[0m";

}  // namespace

Spool::~Spool() { clear(); }

void Spool::add(const std::string& text) {
  memory_ += text;
  if (memory_.size() < spill_at) return;
  if (file_ == nullptr) file_ = std::tmpfile();
  if (file_ == nullptr) return;  // no temporary file: it stays in memory
  failed_ |= std::fwrite(memory_.data(), 1, memory_.size(), file_) != memory_.size();
  memory_.clear();
}

template <class Take>
bool Spool::drain(Take&& take) {
  if (file_ != nullptr) {
    std::rewind(file_);
    char block[64 * 1024];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file_)) > 0) take(std::string(block, got));
    failed_ |= std::ferror(file_) != 0;
  }
  take(memory_);
  const bool good = !failed_;
  clear();
  return good;
}

void Spool::clear() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  memory_.clear();
  failed_ = false;
}

FindingWriter::FindingWriter(std::FILE* out, const WriterSettings& settings)
    : out_(out), settings_(settings) {
  if (settings_.format == Format::json) buffer_ = "[";
}

TextEncoding FindingWriter::encoding() const {
  return settings_.format == Format::json ? TextEncoding::utf8 : settings_.encoding;
}

void FindingWriter::write(std::string_view file, const Finding& finding) {
  std::string text;
  format(file, finding, text);
  ++count_;
  if (holding_) {
    held_.add(text);
  } else {
    put(text);
  }
}

void FindingWriter::format(std::string_view file, const Finding& finding, std::string& text) {
  const std::string line = std::to_string(finding.line), column = std::to_string(finding.column);
  const std::string name(check_name(finding.check));
  if (settings_.format == Format::json) {
    // Every object after a comma; output() drops the comma before the first one.
    text = ",\n  {\"file\": " + json_string(file) + ", \"line\": " + line +
           ", \"column\": " + column + ", \"check\": \"" + name +
           "\", \"message\": " + json_string(finding.message) + "}";
    return;
  }
  const bool colour = settings_.colour;
  text = colour ? bold : "";
  append_display(file, TextEncoding::file_bytes, text);
  text += ":" + line + ":" + column + ":";
  text += colour ? std::string(plain) + " " + magenta + "warning:" + plain : " warning:";
  text += " " + finding.message + " [";
  text += colour ? magenta + name + plain : name;
  text += "]\n";
  // The line, and a caret under the column; "..." where the line began before the part shown.
  std::string indent;
  if (finding.source_column > 1) {
    text += "...";
    indent = "   ";
  }
  const std::uint64_t before = finding.column - finding.source_column;
  const std::string_view source = finding.source;
  append_display(source.substr(0, before < source.size() ? before : source.size()),
                 settings_.encoding, text, &indent);
  if (before < source.size()) append_display(source.substr(before), settings_.encoding, text);
  text += "\n" + indent + (colour ? std::string(green) + "^" + plain : "^") + "\n";
}

void FindingWriter::release() {
  holding_ = false;
  if (held_.empty()) return;
  failed_ |= !held_.drain([this](const std::string& text) { put(text); });
}

void FindingWriter::begin_file() {
  in_file_ = true;
  file_start_count_ = count_;
  file_start_started_ = started_;
}

void FindingWriter::commit_file() {
  in_file_ = false;
  failed_ |= !file_.drain([this](const std::string& text) { output(text); });
}

void FindingWriter::discard_file() {
  in_file_ = false;
  file_.clear();
  held_.clear();
  holding_ = false;
  count_ = file_start_count_;
  started_ = file_start_started_;
}

void FindingWriter::put(const std::string& text) {
  if (text.empty()) return;
  if (settings_.format == Format::json && !started_) {
    started_ = true;
    put(text.substr(1));
    return;
  }
  started_ = true;
  if (in_file_) {
    file_.add(text);
  } else {
    output(text);
  }
}

void FindingWriter::output(const std::string& text) {
  buffer_ += text;
  if (buffer_.size() < flush_at) return;
  failed_ |= std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size();
  buffer_.clear();
}

bool FindingWriter::finish() {
  release();
  commit_file();
  if (settings_.format == Format::json) buffer_ += count_ == 0 ? "]\n" : "\n]\n";
  failed_ |= std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size();
  buffer_.clear();
  failed_ |= std::fflush(out_) != 0 || std::ferror(out_) != 0;
  return !failed_;
}

}  // namespace mosaiq::check
