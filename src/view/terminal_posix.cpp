#include "view/terminal.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

namespace mosaiq::view {

namespace {

volatile std::sig_atomic_t interrupted = 0;
volatile std::sig_atomic_t resumed = 0;
termios saved_modes;
bool modes_saved = false;

constexpr char hide_cursor[] = "\x1b[?25l";
constexpr char give_back[] = "\x1b[0m\x1b[?25h";

void write_all(const char* text, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::write(STDOUT_FILENO, text, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    text += count;
    size -= static_cast<std::size_t>(count);
  }
}

void raw_keys() {
  if (!modes_saved) return;
  termios raw = saved_modes;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));  // Ctrl-C and Ctrl-Z still signal
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
}

extern "C" void on_interrupt(int) { interrupted = 1; }

// Ctrl-Z: the terminal as it was, then stop for real.
extern "C" void on_stop(int) {
  const int saved_errno = errno;
  if (modes_saved) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
  write_all(give_back, sizeof give_back - 1);
  std::signal(SIGTSTP, SIG_DFL);
  ::raise(SIGTSTP);
  errno = saved_errno;
}

extern "C" void on_continue(int) {
  std::signal(SIGTSTP, on_stop);
  resumed = 1;
}

class PosixTerminal : public Terminal {
 public:
  PosixTerminal() {
    modes_saved = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &saved_modes) == 0;
    raw_keys();
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    std::signal(SIGTSTP, on_stop);
    std::signal(SIGCONT, on_continue);
    write_all(hide_cursor, sizeof hide_cursor - 1);
  }

  ~PosixTerminal() override {
    std::signal(SIGTSTP, SIG_DFL);
    std::signal(SIGCONT, SIG_DFL);
    if (modes_saved) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
    // Under the screen and its status line where the terminal has room; on its last row
    // otherwise, with no line end that would scroll the panel away.
    const int last = rows() > 27 ? 27 : rows();
    const std::string end = std::string(give_back) + "\x1b[" + std::to_string(last) + ";1H";
    write_all(end.data(), end.size());
  }

  double now() override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }

  Input wait(double deadline) override {
    for (;;) {
      if (interrupted) return Input::interrupted;
      if (resumed) {
        resumed = 0;
        raw_keys();
        write_all(hide_cursor, sizeof hide_cursor - 1);
        return Input::resumed;
      }
      const double left = deadline < 0 ? 1.0 : deadline - now();
      if (deadline >= 0 && left <= 0) return Input::deadline;
      pollfd keys{STDIN_FILENO, POLLIN, 0};
      const int milliseconds = static_cast<int>(left * 1000) + 1;
      const int ready = ::poll(&keys, modes_saved ? 1 : 0, milliseconds < 100 ? milliseconds : 100);
      if (ready > 0 && (keys.revents & POLLIN)) {
        const Input key = read_key();
        if (key != Input::deadline) return key;
      }
    }
  }

  void write(std::string_view text) override { write_all(text.data(), text.size()); }

  int rows() override {
    winsize size{};
    return ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 ? size.ws_row : 25;
  }

 private:
  // A key pressed: Space, q, or the arrows' escape sequences; anything else is passed over.
  Input read_key() {
    unsigned char byte;
    if (::read(STDIN_FILENO, &byte, 1) != 1) return Input::deadline;
    if (byte == ' ') return Input::play_pause;
    if (byte == 'q' || byte == 'Q') return Input::quit;
    if (byte != 0x1b) return Input::deadline;
    unsigned char sequence[2];
    pollfd more{STDIN_FILENO, POLLIN, 0};
    for (unsigned char& b : sequence) {
      if (::poll(&more, 1, 50) <= 0 || ::read(STDIN_FILENO, &b, 1) != 1) return Input::deadline;
    }
    if (sequence[0] != '[') return Input::deadline;
    if (sequence[1] == 'C') return Input::step_forward;
    if (sequence[1] == 'D') return Input::step_back;
    return Input::deadline;
  }
};

}  // namespace

std::unique_ptr<Terminal> open_system_terminal(std::string& problem) {
  winsize size{};
  if (!::isatty(STDOUT_FILENO)) {
    problem = "standard output is not a terminal; use --frame K, --list or --html OUT.html";
    return nullptr;
  }
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && (size.ws_col < 80 || size.ws_row < 25)) {
    problem = "the terminal is " + std::to_string(size.ws_col) + " x " +
              std::to_string(size.ws_row) + "; the player's screen needs 80 x 25";
    return nullptr;
  }
  interrupted = 0;
  resumed = 0;
  return std::make_unique<PosixTerminal>();
}

}  // namespace mosaiq::view
