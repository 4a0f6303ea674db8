// Bytes as a data URL, so a page carries them with nothing fetched.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq::view {

// "data:MIME;base64,..." for the bytes.
std::string data_url(std::string_view mime, std::string_view bytes);

}  // namespace mosaiq::view
