// A build without giflib: no GIFs.
#include "view/gif_writer.h"

namespace mosaiq::view {

bool can_write_gifs() { return false; }

bool write_gif(const std::vector<GifFrame>&, const ScreenGrid&, const GifLook&, std::string&,
               std::string& problem) {
  problem =
      "this mosaiq-view was built without giflib (apt-get install libgif-dev, then build it again)";
  return false;
}

}  // namespace mosaiq::view
