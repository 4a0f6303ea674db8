// How a step that answers true or false says why it failed.
#pragma once

#include <string>
#include <utility>

namespace mosaiq {

// Puts the reason, in words, where the caller reads it, and answers false.
inline bool fail(std::string& problem, std::string why) {
  problem = std::move(why);
  return false;
}

}  // namespace mosaiq
