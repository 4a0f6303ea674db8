#include "cli/messages.h"

#include <string>

#include "cli/console.h"

namespace mosaiq {

namespace {

// The message's Shift_JIS bytes, without line end.
std::string_view shift_jis_text(Message message) {
  switch (message) {
    case Message::no_input_file:
      // ファイルがありません。
      return "\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B";
    case Message::cannot_open_output:
      // 出力ファイルをオープンできません。
      return "\x8fo\x97\xcd\x83t\x83@\x83" "C\x83\x8b\x82\xf0\x83I\x81[\x83v\x83\x93\x82\xc5\x82"
             "\xab\x82\xdc\x82\xb9\x82\xf1\x81" "B";
    case Message::out_of_memory:
      // メモリが足りません。
      return "\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B";
    case Message::write_error:
      // ファイル書き込み中にエラーが発生しました。
      return "\x83t\x83@\x83" "C\x83\x8b\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x92\x86\x82\xc9\x83G"
             "\x83\x89\x81[\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" "B";
    case Message::read_error:
      // ファイル読み込み中にエラーが発生しました。
      return "\x83t\x83@\x83" "C\x83\x8b\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x92\x86\x82\xc9\x83G"
             "\x83\x89\x81[\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" "B";
    case Message::same_file:
      // 入力ファイルと出力ファイルが同じです。
      return "\x93\xfc\x97\xcd\x83t\x83@\x83" "C\x83\x8b\x82\xc6\x8fo\x97\xcd\x83t\x83@\x83"
             "C\x83\x8b\x82\xaa\x93\xaf\x82\xb6\x82\xc5\x82\xb7\x81" "B";
  }
  return {};
}

std::string_view utf8_text(Message message) {
  switch (message) {
    case Message::no_input_file:
      return "ファイルがありません。";
    case Message::cannot_open_output:
      return "出力ファイルをオープンできません。";
    case Message::out_of_memory:
      return "メモリが足りません。";
    case Message::write_error:
      return "ファイル書き込み中にエラーが発生しました。";
    case Message::read_error:
      return "ファイル読み込み中にエラーが発生しました。";
    case Message::same_file:
      return "入力ファイルと出力ファイルが同じです。";
  }
  return {};
}

}  // namespace

int fatal_error(Console& console, Message message) {
  std::string line(console.text_is_utf8() ? utf8_text(message) : shift_jis_text(message));
  line += '\n';
  console.write_err(line);
  return 2;
}

}  // namespace mosaiq
