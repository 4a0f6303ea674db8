#include "view/soundfont_file.h"

#include <cstdint>
#include <vector>

namespace mosaiq::view {

namespace {

std::uint32_t little_endian(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

struct Chunk {
  std::string_view id;
  std::string_view body;
};

// The chunks one after another in `bytes`, each padded to an even length; false when one does
// not fit.
bool read_chunks(std::string_view bytes, std::vector<Chunk>& chunks) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 8) return false;
    const std::size_t length = little_endian(bytes, at + 4, 4);
    if (length > bytes.size() - at - 8) return false;
    chunks.push_back({bytes.substr(at, 4), bytes.substr(at + 8, length)});
    at += 8 + length + (length & 1);
  }
  return true;
}

// The body of the chunk with that id, or of the LIST of that type; false when there is none.
bool find(const std::vector<Chunk>& chunks, std::string_view id, std::string_view& body) {
  for (const Chunk& chunk : chunks) {
    if (chunk.id == id) {
      body = chunk.body;
      return true;
    }
    if (chunk.id == "LIST" && chunk.body.substr(0, 4) == id) {
      body = chunk.body.substr(4);
      return true;
    }
  }
  return false;
}

// One table of the preset data: fixed-size records, the last a terminal one.
struct Table {
  std::string_view bytes;
  std::size_t size = 0;  // of a record
  std::size_t count() const { return bytes.size() / size; }
  std::uint32_t field(std::size_t record, std::size_t at, int count) const {
    return little_endian(bytes, record * size + at, count);
  }
};

// Each record's index into the next table (a 16-bit field at `at`) goes up, or stays, and
// stays within it.
bool indices_fit(const Table& table, std::size_t at, std::size_t within) {
  std::uint32_t before = 0;
  for (std::size_t i = 0; i < table.count(); ++i) {
    const std::uint32_t index = table.field(i, at, 2);
    if (index < before || index >= within) return false;
    before = index;
  }
  return true;
}

// Every generator of kind `kind` names a record of the next table short of its terminal one.
bool references_fit(const Table& generators, std::uint32_t kind, std::size_t within) {
  for (std::size_t i = 0; i < generators.count(); ++i) {
    if (generators.field(i, 0, 2) == kind && generators.field(i, 2, 2) + 1 >= within) return false;
  }
  return true;
}

// Every sample lies within the sample data: in 16-bit samples, or in bytes for a compressed
// one (a SoundFont 3's).
bool samples_fit(const Table& samples, std::size_t data_bytes) {
  constexpr std::uint32_t compressed = 0x10, rom = 0x8000;
  for (std::size_t i = 0; i + 1 < samples.count(); ++i) {
    const std::uint32_t start = samples.field(i, 20, 4), end = samples.field(i, 24, 4);
    const std::uint32_t type = samples.field(i, 44, 2);
    if ((type & rom) != 0) continue;  // in a ROM the synthesiser does not have: passed over
    const std::size_t room = (type & compressed) != 0 ? data_bytes : data_bytes / 2;
    if (start > end || end > room) return false;
  }
  return true;
}

enum Part { phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr, parts };
constexpr std::string_view part_ids[parts] = {"phdr", "pbag", "pmod", "pgen", "inst",
                                              "ibag", "imod", "igen", "shdr"};
constexpr std::size_t record_sizes[parts] = {38, 4, 10, 4, 22, 4, 10, 4, 46};

std::string preset_data_problem(std::string_view pdta, std::size_t data_bytes) {
  std::vector<Chunk> chunks;
  if (!read_chunks(pdta, chunks)) return "its preset data's chunks do not fit it";
  Table tables[parts];
  for (int part = 0; part < parts; ++part) {
    Table& table = tables[part];
    table.size = record_sizes[part];
    const bool named = part == phdr || part == inst || part == shdr;
    if (!find(chunks, part_ids[part], table.bytes) || table.bytes.size() % table.size != 0 ||
        table.count() < (named ? 2u : 1u)) {
      return "its " + std::string(part_ids[part]) + " table is missing or broken";
    }
  }
  const bool fit = indices_fit(tables[phdr], 24, tables[pbag].count()) &&
                   indices_fit(tables[pbag], 0, tables[pgen].count()) &&
                   indices_fit(tables[pbag], 2, tables[pmod].count()) &&
                   indices_fit(tables[inst], 20, tables[ibag].count()) &&
                   indices_fit(tables[ibag], 0, tables[igen].count()) &&
                   indices_fit(tables[ibag], 2, tables[imod].count()) &&
                   references_fit(tables[pgen], 41, tables[inst].count()) &&
                   references_fit(tables[igen], 53, tables[shdr].count());
  if (!fit) return "its presets, instruments and samples do not fit together";
  if (!samples_fit(tables[shdr], data_bytes)) return "a sample lies outside its sample data";
  return "";
}

}  // namespace

std::string soundfont_start_problem(std::string_view first_bytes) {
  const bool riff = first_bytes.size() >= 12 && first_bytes.substr(0, 4) == "RIFF" &&
                    first_bytes.substr(8, 4) == "sfbk";
  return riff ? "" : "it is not a SoundFont";
}

std::string soundfont_problem(std::string_view bytes) {
  if (std::string problem = soundfont_start_problem(bytes); !problem.empty()) return problem;
  const std::size_t length = little_endian(bytes, 4, 4);
  if (length < 4 || length > bytes.size() - 8) return "it is cut short";
  std::vector<Chunk> lists;
  std::string_view info, sdta, pdta, version, samples;
  std::vector<Chunk> info_chunks, sdta_chunks;
  if (!read_chunks(bytes.substr(12, length - 4), lists) || !find(lists, "INFO", info) ||
      !find(lists, "sdta", sdta) || !find(lists, "pdta", pdta) || !read_chunks(info, info_chunks) ||
      !read_chunks(sdta, sdta_chunks)) {
    return "its parts do not fit it";
  }
  if (!find(info_chunks, "ifil", version) || version.size() != 4) return "it has no version";
  const std::uint32_t major = little_endian(version, 0, 2);
  if (major != 2 && major != 3) return "it is a SoundFont " + std::to_string(major);
  if (!find(sdta_chunks, "smpl", samples)) return "it has no samples";
  return preset_data_problem(pdta, samples.size());
}

}  // namespace mosaiq::view
