// Bytes of a WVE file, or names, made fit to show on a console.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq::check {

// UTF-8: Shift_JIS converted, other bytes written as \xNN. file_bytes: the file's own bytes.
// In both, a control byte other than tab is written as \xNN, so that no byte of a file can
// drive the terminal that shows it.
enum class TextEncoding { file_bytes, utf8 };

// Appends the bytes as they are to be shown. With `indent`, also appends to it blanks as wide
// as what was shown (tabs kept as tabs), for a caret under the next byte.
void append_display(std::string_view bytes, TextEncoding encoding, std::string& out,
                    std::string* indent = nullptr);

}  // namespace mosaiq::check
