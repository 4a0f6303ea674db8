// A SoundFont's bytes, looked over before the synthesiser is given them: the RIFF chunks of a
// SoundFont 2 or 3 must fit the file and each other, so that a broken or hostile file is
// refused here rather than followed by the synthesiser's loader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mosaiq::view {

// Larger than any SoundFont a song is played with.
constexpr std::size_t max_soundfont_bytes = std::size_t{1} << 30;

// Empty when the bytes hold a SoundFont whose parts fit together: the sample data, presets,
// instruments and samples, every index among them within its table and every sample within
// the data; otherwise what does not, in words.
std::string soundfont_problem(std::string_view bytes);

// What a file's first bytes say against its being a SoundFont: empty when they may begin one,
// else what soundfont_problem() says of a file that is no SoundFont at all.
std::string soundfont_start_problem(std::string_view first_bytes);

}  // namespace mosaiq::view
