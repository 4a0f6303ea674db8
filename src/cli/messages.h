// The fatal messages a user can see, in Shift_JIS or, on a UTF-8 console, in UTF-8.
#pragma once

#include <string_view>

namespace mosaiq {

class Console;

// messages.cpp keeps the texts in this order.
enum class Message {
  no_input_file,       // ファイルがありません。
  cannot_open_output,  // 出力ファイルをオープンできません。
  out_of_memory,       // メモリが足りません。
  write_error,         // ファイル書き込み中にエラーが発生しました。
  read_error,          // ファイル読み込み中にエラーが発生しました。
  same_file,           // 入力ファイルと出力ファイルが同じです。
};

// Writes the message and "\n" to standard error, in the console's encoding; returns the fatal
// exit status, 2.
int fatal_error(Console& console, Message message);

}  // namespace mosaiq
