// mosaiq-view: plays a WRD script on a model of the player's 80 x 25 text screen, prints one
// frame of it, or writes a page that plays it in a browser.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/script_reader.h"
#include "view/terminal_player.h"

namespace {

using namespace mosaiq::view;

constexpr const char* usage =
    "usage: mosaiq-view [--bpm N] FILE.wrd | --frame K|end [--plain] FILE.wrd | "
    "--html OUT.html FILE.wrd\n";

constexpr const char* help =
    "mosaiq-view: shows a WRD script written by mosaiq on a model of the player's 80 x 25 screen.\n"
    "  mosaiq-view [--bpm N] FILE.wrd       play it in this terminal (default 120 BPM; Ctrl-C stops)\n"
    "  mosaiq-view --frame K [--plain] FILE.wrd\n"
    "                                        print the screen after frame K (0 = after the header,\n"
    "                                        'end' = the last), with colours or without\n"
    "  mosaiq-view --html OUT.html FILE.wrd  write a page that plays it (open OUT.html#frame=K)\n"
    "  mosaiq-view -h | --help               this text\n"
    "Exit status: 0 done, 1 a bad option or frame, 2 a file that cannot be read or written.\n";

volatile std::sig_atomic_t stop_requested = 0;
extern "C" void request_stop(int) { stop_requested = 1; }

void say(const std::string& text) {
  std::fflush(stdout);
  std::fputs(text.c_str(), stderr);
}

int bad_usage(const std::string& why) {
  say("mosaiq-view: " + why + "\n" + usage);
  return 1;
}

bool read_file(const std::string& name, std::string& bytes, std::string& error) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file);
  if (failed) error = std::strerror(errno);
  std::fclose(file);
  return !failed;
}

bool write_file(const std::string& name, const std::string& bytes, std::string& error) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (!written) error = std::strerror(errno);
  if (std::fclose(file) != 0 && written) {
    error = std::strerror(errno);
    return false;
  }
  return written;
}

bool parse_count(const std::string& text, long long& value, long long smallest) {
  if (text.empty() || text.size() > 12) return false;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return false;
  }
  value = std::stoll(text);
  return value >= smallest;
}

}  // namespace

int main(int argc, char** argv) {
  std::string file, html, frame_arg;
  bool plain = false, have_frame = false;
  long long bpm = 120;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      std::fputs(help, stdout);
      return 0;
    } else if (arg == "--plain") {
      plain = true;
    } else if (arg == "--frame" || arg == "--html" || arg == "--bpm") {
      if (!has_value) return bad_usage(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--frame") {
        have_frame = true;
        frame_arg = value;
        long long k;
        if (value != "end" && !parse_count(value, k, 0)) {
          return bad_usage("--frame wants a frame number or 'end', not '" + value + "'");
        }
      } else if (arg == "--html") {
        html = value;
      } else if (!parse_count(value, bpm, 1)) {
        return bad_usage("--bpm wants a tempo of 1 or more beats a minute, not '" + value + "'");
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return bad_usage("unknown option '" + arg + "'");
    } else if (!file.empty()) {
      return bad_usage("one script at a time");
    } else {
      file = arg;
    }
  }
  if (file.empty()) return bad_usage("no script given");
  if (have_frame && !html.empty()) return bad_usage("--frame and --html do not go together");
  if (plain && !have_frame) return bad_usage("--plain goes with --frame");

  std::string bytes, error;
  if (!read_file(file, bytes, error)) {
    say("mosaiq-view: cannot read " + file + ": " + error + "\n");
    return 2;
  }
  const Script script = read_script(bytes);
  bytes.clear();
  bytes.shrink_to_fit();
  GlyphText glyphs;
  const std::size_t last = script.frames.size() - 1;
  int status = 0;
  if (have_frame) {
    std::size_t k = last;
    if (frame_arg != "end") {
      const unsigned long long wanted = std::stoull(frame_arg);
      if (wanted > last) {
        say("mosaiq-view: frame " + frame_arg + " is past the end; " + file + " has frames 0 to " +
            std::to_string(last) + "\n");
        return 1;
      }
      k = static_cast<std::size_t>(wanted);
    }
    const std::string text = screen_text(screen_at(script, k), glyphs, !plain);
    std::fwrite(text.data(), 1, text.size(), stdout);
  } else if (!html.empty()) {
    if (!write_file(html, html_page(script, glyphs, file), error)) {
      say("mosaiq-view: cannot write " + html + ": " + error + "\n");
      return 2;
    }
  } else {
    if (script.negative_wmode) {
      say("mosaiq-view: @wmode(" + std::to_string(script.first_negative_wmode) +
          ") is played as @wmode(0)\n");
    }
    std::signal(SIGINT, request_stop);
    std::signal(SIGTERM, request_stop);
    SteadyClock clock;
    play(script, static_cast<double>(bpm), clock, std::cout, glyphs, &stop_requested);
    if (stop_requested) status = 130;
  }
  if (script.passed_over != 0) {
    say("mosaiq-view: passed over " + std::to_string(script.passed_over) +
        (script.passed_over == 1 ? " item" : " items") +
        " the screen cannot show (unknown escapes, text off the screen, broken characters)\n");
  }
  return status;
}
