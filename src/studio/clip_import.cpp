#include "studio/clip_import.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "convert/memory_streams.h"
#include "import/import_options.h"
#include "import/import_timing.h"
#include "import/natural_order.h"
#include "import/picture_input.h"
#include "import/preview_sheet.h"
#include "platform/file_access.h"

namespace mosaiq::studio {

namespace {

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(const std::string& bytes) : bytes_(bytes) {}
  long read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, bytes_.size() - at_);
    std::memcpy(buffer, bytes_.data() + at_, count);
    at_ += count;
    return static_cast<long>(count);
  }
  bool rewind() override {
    at_ = 0;
    return true;
  }
  std::string failure() const override { return {}; }
  std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

// The dropped files, and nothing else: the importer reads them as it reads files on disk, and
// can reach no other file, nor write one.
class DroppedFiles : public FileAccess {
 public:
  explicit DroppedFiles(const std::vector<ClipFile>& files) {
    for (const ClipFile& file : files) files_[file.name] = &file.bytes;
  }
  bool exists(const std::string& name) override { return files_.count(name) > 0; }
  FileKind kind(const std::string& name) override {
    return exists(name) ? FileKind::regular : FileKind::missing;
  }
  std::unique_ptr<InputFile> open_input(const std::string& name, std::string& why) override {
    const auto found = files_.find(name);
    if (found != files_.end()) return std::make_unique<MemoryInput>(*found->second);
    why = "no such file was dropped";
    return nullptr;
  }
  std::unique_ptr<InputFile> open_standard_input() override { return nullptr; }
  bool is_input(const InputFile&, const std::string&) override { return false; }
  std::unique_ptr<OutputFile> create_output(const std::string&) override { return nullptr; }
  bool list_folder(const std::string&, std::vector<std::string>&, std::string& why) override {
    why = "not a folder";
    return false;
  }
  bool same_file(const std::string& a, const std::string& b) override { return a == b; }
  bool stamp(const std::string&, FileStamp&) override { return false; }
  std::string link_target(const std::string& name) override { return name; }
  bool make_folders(const std::string&, std::string& why) override {
    why = "nothing is written";
    return false;
  }
  bool remove_file(const std::string&) override { return false; }
  bool write_whole(const std::string&, const Producer&, std::string& why) override {
    why = "nothing is written";
    return false;
  }

 private:
  std::map<std::string, const std::string*> files_;
};

bool read_clip(DroppedFiles& dropped, import::PictureRequest request, int width, int height,
               import::ImportedPictures& pictures, std::string& problem) {
  if (!import::read_pictures(dropped, request, pictures, problem)) return false;
  if (pictures.width <= width && pictures.height <= height) return true;
  // Larger than the document's grid: scaled into it.
  request.grid.width = width;
  request.grid.height = height;
  return import::read_pictures(dropped, request, pictures, problem);
}

// A picture's cells centred in the document's grid.
std::string centred(const import::CellPicture& picture, int from_width, int from_height, int width,
                    int height) {
  std::string cells(static_cast<std::size_t>(width * height), '0');
  const int left = (width - from_width) / 2, top = (height - from_height) / 2;
  for (int y = 0; y < from_height; ++y) {
    for (int x = 0; x < from_width; ++x) {
      cells[static_cast<std::size_t>((top + y) * width + left + x)] =
          static_cast<char>('0' + picture[static_cast<std::size_t>(y * from_width + x)]);
    }
  }
  return cells;
}

std::string beat_words(const MeasureMap& measures, std::int64_t position) {
  const SongBeat at = measures.at(position);
  return std::to_string(at.measure) + ":" + std::to_string(at.beat);
}

std::string summary(const import::ImportedPictures& pictures, const import::Placement& placement,
                    std::size_t records, std::int64_t from, const MeasureMap& measures) {
  const std::size_t count = pictures.pictures.size();
  std::string text = std::to_string(pictures.width) + " x " + std::to_string(pictures.height) +
                     " cells (" + pictures.how + "), " + std::to_string(count) +
                     (count == 1 ? " picture" : " pictures") + " in " + std::to_string(records) +
                     (records == 1 ? " frame" : " frames") + ", from " +
                     beat_words(measures, from) + " to " + beat_words(measures, placement.end);
  if (!placement.left_out.empty()) {
    text += "; " + std::to_string(placement.left_out.size()) +
            (placement.left_out.size() == 1 ? " picture" : " pictures") +
            " too short to show left out";
  }
  return text;
}

}  // namespace

bool read_clip_options(const std::vector<std::string>& arguments, ClipOptions& options,
                       std::string& problem) {
  std::vector<std::string> line = arguments;
  line.insert(line.end(), {"--", "clip"});  // the importer's command line names a picture
  import::ImportOptions read;
  if (import::parse_import_options(line, read, problem) != CommandRequest::run) return false;
  options.per_beat = read.per_beat;
  options.ink = read.ink;
  options.background = read.background;
  options.trim = read.grid.trim;
  options.sheet_columns = read.sheet_columns;
  options.sheet_rows = read.sheet_rows;
  return true;
}

bool import_clip(const std::vector<ClipFile>& files, const ClipOptions& options, int width,
                 int height, const Song& song, double bpm, std::int64_t start, Clip& clip,
                 std::string& problem) {
  if (files.empty()) {
    problem = "no picture was dropped";
    return false;
  }
  DroppedFiles dropped(files);
  import::PictureRequest request;
  for (const ClipFile& file : files) request.inputs.push_back(file.name);
  std::sort(request.inputs.begin(), request.inputs.end(), import::natural_less);
  request.grid.trim = options.trim;
  request.sheet_columns = options.sheet_columns;
  request.sheet_rows = options.sheet_rows;
  request.colours.set_ink(options.ink);
  request.background = options.background;
  request.keep_sources = import::most_previewed;
  import::ImportedPictures pictures;
  if (!read_clip(dropped, request, width, height, pictures, problem)) return false;
  const MeasureMap measures(song);
  const import::TimingRequest timing{song, bpm, measures, start, options.per_beat, 1, -1};
  import::Placement placement;
  if (!import::place_pictures(pictures.delays, pictures.pictures.size(), timing, placement,
                              problem)) {
    return false;
  }
  clip = Clip{};
  std::int64_t from = -1;
  for (const import::PlacedRecord& record : placement.records) {
    if (record.picture == import::dark_picture) continue;
    if (from < 0) from = record.position;
    clip.frames.push_back(
        {centred(pictures.pictures[record.picture], pictures.width, pictures.height, width, height),
         record.division});
  }
  if (clip.frames.empty()) {
    problem = "every picture of the clip is too short to show";
    return false;
  }
  clip.summary = summary(pictures, placement, clip.frames.size(), from, measures);
  MemorySink sheet;
  if (import::write_preview_sheet(pictures, sheet, problem)) clip.preview_png = sheet.bytes;
  problem.clear();
  return true;
}

}  // namespace mosaiq::studio
