// Songs rendered for the page, kept between runs so that writing a page again after an edit does
// not render its song again: in $XDG_CACHE_HOME/mosaiq (else ~/.cache/mosaiq), one file a
// rendering, named by a key of the song as played, the SoundFont (its name, size and time), the
// span rendered and the tempo. At most `most_cached_bytes` in all: the oldest go first. Each is
// written whole, as every file is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mosaiq {
class Console;
class FileAccess;
struct FileStamp;
}  // namespace mosaiq

namespace mosaiq::view {

constexpr std::size_t most_cached_bytes = std::size_t{512} << 20;

class RenderCache {
 public:
  // The cache where the environment puts it, of at most `most` bytes; an unusable one (no home)
  // finds and keeps nothing.
  RenderCache(FileAccess& files, Console& console, std::size_t most = most_cached_bytes);

  // The key of a rendering.
  static std::string key(std::string_view midi, const std::string& soundfont,
                         const FileStamp& soundfont_stamp, double seconds, double bpm);
  // The rendering of that key, when it is kept.
  bool find(const std::string& key, std::string& bytes);
  // Keeps a rendering, then drops the oldest while there are more than most_cached_bytes.
  void keep(const std::string& key, std::string_view bytes);

 private:
  std::string name_of(const std::string& key) const { return folder_ + "/" + key + ".ogg"; }
  void trim();

  FileAccess& files_;
  std::size_t most_;
  std::string folder_;  // empty: unusable
};

}  // namespace mosaiq::view
