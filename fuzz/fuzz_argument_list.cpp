// Fuzzes the command-line splitting and wildcard expansion of the Windows build, on any host.
// The input is a command line, then after a NUL byte the entry names that the fake directory
// listing returns (one per line) for every wildcard argument. Checked: every argument stands as
// it is or as its matches, nothing else appears, and the name order is a strict weak order,
// which the sort of the matches relies on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/argument_list.h"
#include "platform/shift_jis.h"

namespace {

using namespace mosaiq;

// Enough names for the order's checks to be thorough and still quick.
constexpr std::size_t max_names = 24;

void require(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string> listing_of(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty() && names.size() < max_names) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    names.emplace_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return names;
}

// Irreflexive, asymmetric and transitive, with incomparability transitive too.
void require_strict_weak_order(const std::vector<std::string>& names, LeadByteTest is_lead) {
  const auto before = [is_lead](const std::string& a, const std::string& b) {
    return name_before(a, b, is_lead);
  };
  for (const std::string& a : names) {
    require(!before(a, a));
    for (const std::string& b : names) {
      require(!(before(a, b) && before(b, a)));
      for (const std::string& c : names) {
        if (before(a, b) && before(b, c)) require(before(a, c));
        if (!before(a, b) && !before(b, a) && !before(b, c) && !before(c, b)) {
          require(!before(a, c) && !before(c, a));
        }
      }
    }
  }
}

void check(std::string_view line, const std::vector<std::string>& listing, LeadByteTest is_lead) {
  const std::vector<CommandArgument> arguments = split_command_line(line, is_lead);
  std::size_t text_bytes = 0;
  for (const CommandArgument& argument : arguments) text_bytes += argument.text.size();
  require(text_bytes <= line.size());

  std::size_t searches = 0;
  const std::vector<std::string> expanded =
      expand_arguments(arguments, is_lead, [&](const std::string&) {
        ++searches;
        return listing;
      });
  require(searches <= arguments.size());

  // Each argument stands as it is, or its matches (directory part + listed name) take its
  // place, in name order.
  std::vector<std::string> names;
  for (const std::string& name : listing) {
    if (name != "." && name != "..") names.push_back(name);
  }
  std::size_t at = 0;
  for (const CommandArgument& argument : arguments) {
    std::string directory;
    const bool expands = !argument.began_with_quote && !names.empty() &&
                         wildcard_directory_part(argument.text, is_lead, directory);
    if (!expands) {
      require(at < expanded.size() && expanded[at++] == argument.text);
      continue;
    }
    require(expanded.size() - at >= names.size());
    std::vector<std::string> got(expanded.begin() + at, expanded.begin() + at + names.size());
    for (std::size_t k = 1; k < got.size(); ++k) require(!name_before(got[k], got[k - 1], is_lead));
    std::vector<std::string> wanted;
    for (const std::string& name : names) wanted.push_back(directory + name);
    std::sort(got.begin(), got.end());
    std::sort(wanted.begin(), wanted.end());
    require(got == wanted);
    at += names.size();
  }
  require(at == expanded.size());
  require_strict_weak_order(listing, is_lead);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const std::string_view line = input.substr(0, split);
  const std::vector<std::string> listing =
      listing_of(input.substr(std::min(split + 1, input.size())));
  check(line, listing, is_sjis_lead);
  check(line, listing, nullptr);
  return 0;
}
