// Writes a large, deterministic WVE file of one profile to standard output.
//
// usage: wve_generator [--lf] PROFILE SIZE_MB [WIDTH HEIGHT]
//   sparse   a few cells change per frame
//   dense    most cells change; flag 0, so the grid is never repainted whole
//   repaint  flag 1 and many changes: whole-grid repaints
//   static   every frame equals the one on screen
//   mixed    patterns, beat divisions and all of the above in turn
// Lines end in CR LF, as files made on DOS and Windows do, or with --lf in LF alone.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Random {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  std::uint32_t next() {  // xorshift64*
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<std::uint32_t>((state * 2685821657736338717ull) >> 32);
  }
  std::uint32_t below(std::uint32_t n) { return next() % n; }
};

enum class Profile { sparse, dense, repaint, still, mixed };

bool parse_profile(const char* name, Profile& profile) {
  const struct {
    const char* name;
    Profile profile;
  } names[] = {{"sparse", Profile::sparse},
               {"dense", Profile::dense},
               {"repaint", Profile::repaint},
               {"static", Profile::still},
               {"mixed", Profile::mixed}};
  for (const auto& entry : names) {
    if (std::strcmp(name, entry.name) == 0) {
      profile = entry.profile;
      return true;
    }
  }
  return false;
}

// Changes each cell with the given chance (in percent) to a random cell digit.
void scatter(std::vector<char>& cells, Random& random, std::uint32_t percent) {
  for (char& cell : cells) {
    if (random.below(100) < percent) cell = static_cast<char>('0' + random.below(8));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool crlf = !(argc > 1 && std::strcmp(argv[1], "--lf") == 0);
  if (!crlf) {
    --argc;
    ++argv;
  }
  Profile profile;
  if ((argc != 3 && argc != 5) || !parse_profile(argv[1], profile)) {
    std::fprintf(stderr,
                 "usage: wve_generator [--lf] sparse|dense|repaint|static|mixed SIZE_MB [W H]\n");
    return 1;
  }
  const std::uint64_t limit = std::strtoull(argv[2], nullptr, 10) << 20;
  const int width = argc == 5 ? std::atoi(argv[3]) : 24;
  const int height = argc == 5 ? std::atoi(argv[4]) : 5;
  Random random;
  std::vector<char> cells(static_cast<std::size_t>(width) * height, '0');
  scatter(cells, random, 50);

  std::string text, out;
  text.reserve(1 << 20);
  std::uint64_t written = 0;
  auto emit = [&](bool last) {
    if (text.size() >= (1u << 20) || last) {
      out.clear();
      for (const char c : text) {
        if (c == '\n' && crlf) out += '\r';
        out += c;
      }
      std::fwrite(out.data(), 1, out.size(), stdout);
      written += out.size();
      text.clear();
    }
  };
  text += "*nXY=" + std::to_string(width) + "," + std::to_string(height) + "\n";
  text += "*p1,benchmark\n";
  std::uint64_t position = 0;  // in 24ths of a beat
  for (std::uint64_t frame = 0; written + text.size() < limit; ++frame) {
    Profile kind = profile;
    int division = 1;
    if (profile == Profile::mixed) {
      const std::uint64_t segment = frame / 64;
      const Profile kinds[] = {Profile::sparse, Profile::dense, Profile::repaint, Profile::still};
      kind = kinds[segment % 4];
      division = 1 + static_cast<int>(segment % 3);
      if (frame % 64 == 0) text += "*p" + std::to_string(segment % 9 + 1) + ",segment\n";
    }
    switch (kind) {
      case Profile::sparse:
        for (std::uint32_t n = 1 + random.below(3); n > 0; --n) {
          cells[random.below(static_cast<std::uint32_t>(cells.size()))] =
              static_cast<char>('0' + random.below(8));
        }
        break;
      case Profile::dense: scatter(cells, random, 85); break;
      case Profile::repaint: scatter(cells, random, 50); break;
      case Profile::still:
      case Profile::mixed: break;
    }
    // Stamps follow the music: a frame lasts floor(24 / division) / 24 of a beat, 4 beats a
    // measure.
    const std::uint64_t beats = position / 24;
    position += 24 / division;
    const std::uint64_t measure = beats / 4 + 1;
    const std::uint64_t beat = beats % 4 + 1;
    text += "*f1-" + std::to_string(measure) + "-" + std::to_string(beat);
    if (kind == Profile::repaint) {
      text += "-1/" + std::to_string(division);
    } else if (kind != Profile::sparse || profile == Profile::mixed) {
      text += "-0/" + std::to_string(division);
    }
    text += '\n';
    for (int row = 0; row < height; ++row) {
      text.append(cells.data() + static_cast<std::size_t>(row) * width,
                  static_cast<std::size_t>(width));
      text += '\n';
    }
    emit(false);
  }
  text += "*end\n";
  emit(true);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
