// A build without giflib: no GIFs.
#include "view/gif_writer.h"

namespace mosaiq::view {

bool can_write_gifs() { return false; }

std::unique_ptr<GifWriter> start_gif(ByteSink&, const GifArea&, const GifLook&,
                                     std::string& problem) {
  problem =
      "this mosaiq-view was built without giflib (apt-get install libgif-dev, then build it again)";
  return nullptr;
}

}  // namespace mosaiq::view
