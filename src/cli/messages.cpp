#include "cli/messages.h"

#include <iterator>
#include <string>

#include "cli/console.h"

namespace mosaiq {

namespace {

struct MessageText {
  std::string_view shift_jis;
  std::string_view utf8;
};

// Each message in Shift_JIS and in UTF-8, without line end, in the order of Message.
constexpr MessageText message_texts[] = {
    // ファイルがありません。
    {"\x83t\x83@\x83\x43\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42",
     "ファイルがありません。"},
    // 出力ファイルをオープンできません。
    {"\x8fo\x97\xcd\x83t\x83@\x83\x43\x83\x8b\x82\xf0\x83I\x81[\x83v\x83\x93\x82\xc5\x82"
     "\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42",
     "出力ファイルをオープンできません。"},
    // メモリが足りません。
    {"\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42",
     "メモリが足りません。"},
    // ファイル書き込み中にエラーが発生しました。
    {"\x83t\x83@\x83\x43\x83\x8b\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x92\x86\x82\xc9\x83G"
     "\x83\x89\x81[\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42",
     "ファイル書き込み中にエラーが発生しました。"},
    // ファイル読み込み中にエラーが発生しました。
    {"\x83t\x83@\x83\x43\x83\x8b\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x92\x86\x82\xc9\x83G"
     "\x83\x89\x81[\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42",
     "ファイル読み込み中にエラーが発生しました。"},
    // 入力ファイルと出力ファイルが同じです。
    {"\x93\xfc\x97\xcd\x83t\x83@\x83\x43\x83\x8b\x82\xc6\x8fo\x97\xcd\x83t\x83@\x83"
     "C\x83\x8b\x82\xaa\x93\xaf\x82\xb6\x82\xc5\x82\xb7\x81\x42",
     "入力ファイルと出力ファイルが同じです。"},
};
static_assert(std::size(message_texts) == static_cast<std::size_t>(Message::same_file) + 1,
              "one text for each message");

}  // namespace

int fatal_error(Console& console, Message message) {
  const MessageText& text = message_texts[static_cast<std::size_t>(message)];
  std::string line(console.text_is_utf8() ? text.utf8 : text.shift_jis);
  line += '\n';
  console.write_err(line);
  return 2;
}

}  // namespace mosaiq
