#include "check/finding_writer.h"

#include "platform/character_set.h"
#include "platform/console.h"
#include "platform/json_text.h"

namespace mosaiq::check {

namespace {

constexpr std::size_t flush_at = 64 * 1024;

const char* const bold = "\x1b[1m";
const char* const magenta = "\x1b[1;35m";
const char* const green = "\x1b[1;32m";
const char* const cyan = "\x1b[1;36m";
const char* const plain = "\x1b[0m";

}  // namespace

FindingWriter::FindingWriter(Reporter& out, const WriterSettings& settings)
    : out_(out), settings_(settings) {}

TextEncoding FindingWriter::encoding() const {
  return settings_.format == Format::json ? TextEncoding::utf8 : settings_.encoding;
}

void FindingWriter::write(std::string_view file, const Finding& finding) {
  if (settings_.format == Format::json) {
    format_json(file, finding);
  } else {
    format_text(file, finding);
  }
  ++count_;
  if (buffer_.size() < flush_at) return;
  out_.out(buffer_);
  buffer_.clear();
}

void FindingWriter::format_json(std::string_view file, const Finding& finding) {
  buffer_ += count_ == 0 ? "[\n  {\"file\": " : ",\n  {\"file\": ";
  append_json_string(buffer_, file);
  buffer_ += ", \"line\": " + std::to_string(finding.line) +
             ", \"column\": " + std::to_string(finding.column) + ", \"check\": \"";
  buffer_ += check_name(finding.check);
  buffer_ += "\", \"message\": ";
  append_json_string(buffer_, finding.message);
  buffer_ += ", \"notes\": [";
  for (std::size_t i = 0; i < finding.notes.size(); ++i) {
    const Note& note = finding.notes[i];
    buffer_ += i ? ", {\"file\": " : "{\"file\": ";
    append_json_string(buffer_, file);
    buffer_ += ", \"line\": " + std::to_string(note.line) +
               ", \"column\": " + std::to_string(note.column) + ", \"message\": ";
    append_json_string(buffer_, note.message);
    buffer_ += '}';
  }
  buffer_ += "]}";
}

void FindingWriter::format_location(std::string_view file, std::uint64_t line,
                                    std::uint64_t column) {
  buffer_ += settings_.colour ? bold : "";
  buffer_ += console_safe(file, settings_.encoding == TextEncoding::utf8);
  buffer_ += ":" + std::to_string(line) + ":" + std::to_string(column) + ":";
  buffer_ += settings_.colour ? plain : "";
}

void FindingWriter::format_text(std::string_view file, const Finding& finding) {
  const bool colour = settings_.colour;
  std::string& text = buffer_;
  const std::string name(check_name(finding.check));
  format_location(file, finding.line, finding.column);
  text += colour ? std::string(" ") + magenta + "warning:" + plain : " warning:";
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
  for (const Note& note : finding.notes) {
    format_location(file, note.line, note.column);
    text += colour ? std::string(" ") + cyan + "note:" + plain : " note:";
    text += " " + note.message + "\n";
  }
}

void FindingWriter::finish() {
  if (settings_.format == Format::json) buffer_ += count_ == 0 ? "[]\n" : "\n]\n";
  out_.out(buffer_);
  buffer_.clear();
}

}  // namespace mosaiq::check
