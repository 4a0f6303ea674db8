#include "view/render_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/console.h"
#include "platform/file_access.h"

namespace mosaiq::view {

namespace {

// 64-bit FNV-1a from a basis: two bases give a key of 128 bits.
std::uint64_t fnv(std::string_view bytes, std::uint64_t hash) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

RenderCache::RenderCache(FileAccess& files, Console& console, std::size_t most)
    : files_(files), most_(most) {
  const std::string cache = console.variable("XDG_CACHE_HOME");
  const std::string home = console.variable("HOME");
  if (!cache.empty() && cache[0] == '/') {
    folder_ = cache + "/mosaiq";
  } else if (!home.empty()) {
    folder_ = home + "/.cache/mosaiq";
  }
}

std::string RenderCache::key(std::string_view midi, const std::string& soundfont,
                             const FileStamp& soundfont_stamp, double seconds, double bpm) {
  char described[192];
  std::snprintf(described, sizeof described, "|%llu|%lld|%.3f|%.6f|",
                static_cast<unsigned long long>(soundfont_stamp.size),
                static_cast<long long>(soundfont_stamp.written), seconds, bpm);
  const std::string rest = soundfont + described;
  std::uint64_t a = fnv(midi, 0xcbf29ce484222325ull), b = fnv(midi, 0x84222325cbf29ce4ull);
  a = fnv(rest, a);
  b = fnv(rest, b ^ midi.size());
  char key[40];
  std::snprintf(key, sizeof key, "%016llx%016llx", static_cast<unsigned long long>(a),
                static_cast<unsigned long long>(b));
  return key;
}

bool RenderCache::find(const std::string& key, std::string& bytes) {
  std::string why;
  return !folder_.empty() && files_.kind(name_of(key)) == FileKind::regular &&
         read_whole_file(files_, name_of(key), most_cached_bytes, bytes, why) == WholeFile::read;
}

void RenderCache::keep(const std::string& key, std::string_view bytes) {
  std::string why;
  if (folder_.empty() || bytes.size() > most_ || !files_.make_folders(folder_, why) ||
      !files_.write_atomically(name_of(key), bytes, why)) {
    return;  // a cache that cannot be written is a cache that keeps nothing
  }
  trim();
}

void RenderCache::trim() {
  std::vector<std::string> entries;
  std::string why;
  if (!files_.list_folder(folder_, entries, why)) return;
  struct Kept {
    std::string name;
    FileStamp stamp;
  };
  std::vector<Kept> kept;
  std::uint64_t total = 0;
  for (const std::string& entry : entries) {
    Kept one{folder_ + "/" + entry, {}};
    if (entry.size() != 36 || entry.substr(32) != ".ogg" || !files_.stamp(one.name, one.stamp)) {
      continue;  // only the cache's own files count, and go
    }
    total += one.stamp.size;
    kept.push_back(std::move(one));
  }
  std::sort(kept.begin(), kept.end(),
            [](const Kept& a, const Kept& b) { return a.stamp.written < b.stamp.written; });
  for (const Kept& oldest : kept) {
    if (total <= most_) break;
    if (files_.remove_file(oldest.name)) total -= oldest.stamp.size;
  }
}

}  // namespace mosaiq::view
