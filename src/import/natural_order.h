// Names in the order people count them: "f2" before "f10", digits compared as numbers.
#pragma once

#include <string>

namespace mosaiq::import {

// Whether `a` comes before `b`: runs of digits compared by value (then by length, so that
// "f02" follows "f2"), everything else byte by byte, letters without regard to case first.
bool natural_less(const std::string& a, const std::string& b);

}  // namespace mosaiq::import
