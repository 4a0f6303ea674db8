#include "cli/help_text.h"

#include <string>
#include <string_view>

#include "platform/console.h"

namespace mosaiq {

namespace {

// The eight lines of the help text, each with its line end, in Shift_JIS.
constexpr std::string_view help_lines[] = {
    "\n",
    "mosaiq  Ver." MOSAIQ_VERSION "\n",
    "Copyright (C) 2026 The mosaiq Authors\n",
    // 使用法 : mosaiq [<option>] <filename> ...
    "\x8eg\x97p\x96@ : mosaiq [<option>] <filename> ...\n",
    // " <option>  -o file : 出力ファイル名を file に変更"
    " <option>  -o file : \x8fo\x97\xcd\x83t\x83@\x83\x43\x83\x8b\x96\xbc\x82\xf0 file \x82\xc9\x95"
    "\xcf\x8dX\n",
    // "           -i      : 同名ファイル存在時に、上書きするかどうか尋ねる。"
    "           -i      : "
    "\x93\xaf\x96\xbc\x83t\x83@\x83\x43\x83\x8b\x91\xb6\x8d\xdd\x8e\x9e\x82\xc9"
    "\x81\x41\x8f\xe3\x8f\x91\x82\xab\x82\xb7\x82\xe9\x82\xa9\x82\xc7\x82\xa4\x82\xa9\x90q\x82\xcb"
    "\x82\xe9\x81\x42\n",
    // "           -h      : このヘルプを表示"
    "           -h      : \x82\xb1\x82\xcc\x83w\x83\x8b\x83v\x82\xf0\x95\x5c\x8e\xa6\n",
    "\n",
};

}  // namespace

int print_usage(Console& console) {
  std::string text;
  for (const std::string_view line : help_lines) text += line;
  console.write_out(console_text(console, text));
  return 0;
}

}  // namespace mosaiq
