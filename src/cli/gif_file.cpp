#include "cli/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace lumora::cli {

namespace {

constexpr int kPaletteSize = 256;

// Fewer bytes taken than given is how giflib learns of a failed write.
int PassToSink(GifFileType* gif, const GifByteType* bytes, int length) {
  const GifSink& sink = *static_cast<const GifSink*>(gif->UserData);
  return sink(std::string_view(reinterpret_cast<const char*>(bytes), length)) ? length : 0;
}

GifColorType GifColourOf(CellColour colour) {
  return {static_cast<GifByteType>(colour & 0xFF), static_cast<GifByteType>((colour >> 8) & 0xFF),
          static_cast<GifByteType>((colour >> 16) & 0xFF)};
}

struct MapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// A colour table of the colours at their indices, as short as GIF allows: a power of two of
// at least 2 entries.
ColourMap MakeColourMap(const std::map<CellColour, int>& colours, int entries) {
  int size = 2;
  while (size < entries) size *= 2;
  std::array<GifColorType, kPaletteSize> table{};
  for (const auto& [colour, index] : colours) table[index] = GifColourOf(colour);
  return ColourMap(GifMakeMapObject(size, table.data()));
}

// A rectangle of the screen: [x0, x1) x [y0, y1).
struct Area {
  int x0, y0, x1, y1;
  int Width() const { return x1 - x0; }
  int Height() const { return y1 - y0; }
};

// The smallest area holding every pixel in which the two pictures differ; nothing when none
// does.
std::optional<Area> ChangedArea(const std::vector<CellColour>& before, const Picture& after) {
  Area area{after.width, after.height, 0, 0};
  for (int y = 0; y < after.height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * after.width;
    for (int x = 0; x < after.width; ++x) {
      if (before[row + x] == after.pixels[row + x]) continue;
      area = {std::min(area.x0, x), std::min(area.y0, y), std::max(area.x1, x + 1),
              std::max(area.y1, y + 1)};
    }
  }
  if (area.x1 == 0) return std::nullopt;
  return area;
}

// A frame as written: its area's pixels as indices into its colour table, which is the
// file's when map is empty, and whether unchanged pixels are transparent.
struct Indexed {
  Area area{};
  std::vector<GifPixelType> indices;
  ColourMap map;
  int transparent = NO_TRANSPARENT_COLOR;
};

// An unchanged pixel's index: the first of every colour table, the colours after it.
constexpr int kTransparent = 0;

// The frame's area in the file's colour table; false when a pixel's colour is not in it.
bool InCommonColours(const std::map<CellColour, int>& common, const Picture& frame,
                     const std::vector<CellColour>& shown, Indexed& out) {
  if (common.empty()) return false;
  out.transparent = shown.empty() ? NO_TRANSPARENT_COLOR : kTransparent;
  std::optional<CellColour> last;
  int lastIndex = 0;
  for (int y = out.area.y0; y < out.area.y1; ++y) {
    for (int x = out.area.x0; x < out.area.x1; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * frame.width + x;
      if (!shown.empty() && shown[at] == frame.pixels[at]) {
        out.indices.push_back(kTransparent);
        continue;
      }
      // The tubes are drawn in runs of one colour: a run is looked up once.
      if (frame.pixels[at] != last) {
        const auto found = common.find(frame.pixels[at]);
        if (found == common.end()) return false;
        last = frame.pixels[at];
        lastIndex = found->second;
      }
      out.indices.push_back(static_cast<GifPixelType>(lastIndex));
    }
  }
  return true;
}

// The frame's area in a colour table of its own; unchanged pixels are transparent where the
// table has room for them. False with more than 256 colours.
bool InOwnColours(const Picture& frame, const std::vector<CellColour>& shown, Indexed& out) {
  for (const bool withTransparency : {!shown.empty(), false}) {
    const int first = withTransparency ? kTransparent + 1 : 0;
    std::map<CellColour, int> palette;
    out.indices.clear();
    bool fits = true;
    for (int y = out.area.y0; y < out.area.y1 && fits; ++y) {
      for (int x = out.area.x0; x < out.area.x1 && fits; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * frame.width + x;
        if (withTransparency && shown[at] == frame.pixels[at]) {
          out.indices.push_back(kTransparent);
          continue;
        }
        const auto entry =
            palette.try_emplace(frame.pixels[at], first + static_cast<int>(palette.size())).first;
        fits = entry->second < kPaletteSize;
        out.indices.push_back(static_cast<GifPixelType>(entry->second));
      }
    }
    if (!fits) continue;
    out.transparent = withTransparency ? kTransparent : NO_TRANSPARENT_COLOR;
    out.map = MakeColourMap(palette, first + static_cast<int>(palette.size()));
    return out.map != nullptr;
  }
  return false;
}

bool PutLoopExtension(GifFileType* gif) {
  static constexpr GifByteType kNetscape[] = "NETSCAPE2.0";
  static constexpr GifByteType kForever[] = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, kNetscape) == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, kForever) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, const Indexed& frame, int delayCs) {
  GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCs, frame.transparent};
  GifByteType extension[4];
  const std::size_t length = EGifGCBToExtension(&control, extension);
  const Area& area = frame.area;
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
          GIF_OK ||
      EGifPutImageDesc(gif, area.x0, area.y0, area.Width(), area.Height(), false,
                       frame.map.get()) != GIF_OK) {
    return false;
  }
  for (int y = 0; y < area.Height(); ++y) {
    GifPixelType* line = const_cast<GifPixelType*>(frame.indices.data()) +
                         static_cast<std::size_t>(y) * area.Width();
    if (EGifPutLine(gif, line, area.Width()) != GIF_OK) return false;
  }
  return true;
}

}  // namespace

GifEncoder::GifEncoder(int width, int height, int delayCs, GifSink sink,
                       std::span<const CellColour> colours)
    : sink_(std::move(sink)), width_(width), height_(height), delayCs_(delayCs) {
  for (const CellColour colour : colours) {
    common_.try_emplace(colour, kTransparent + 1 + static_cast<int>(common_.size()));
  }
  if (common_.size() > kPaletteSize - 1) common_.clear();
  int error = 0;
  gif_ = EGifOpen(&sink_, PassToSink, &error);
  if (gif_ == nullptr) return;
  EGifSetGifVersion(gif_, true);
  ColourMap map;
  if (!common_.empty()) map = MakeColourMap(common_, static_cast<int>(common_.size()) + 1);
  ok_ = (common_.empty() || map != nullptr) &&
        EGifPutScreenDesc(gif_, width, height, 8, 0, map.get()) == GIF_OK && PutLoopExtension(gif_);
}

GifEncoder::~GifEncoder() {
  Finish();
}

bool GifEncoder::Add(const Picture& frame) {
  if (!ok_ || frame.width != width_ || frame.height != height_) return ok_ = false;
  Indexed indexed;
  if (shown_.empty()) {
    indexed.area = {0, 0, width_, height_};
  } else if (const auto changed = ChangedArea(shown_, frame)) {
    indexed.area = *changed;
  } else {
    indexed.area = {0, 0, 1, 1};  // one transparent pixel keeps the frame's time
  }
  if (!InCommonColours(common_, frame, shown_, indexed)) {
    indexed.indices.clear();
    if (!InOwnColours(frame, shown_, indexed)) return ok_ = false;
  }
  ok_ = PutFrame(gif_, indexed, delayCs_);
  shown_ = frame.pixels;
  return ok_;
}

bool GifEncoder::Finish() {
  if (gif_ == nullptr) return false;
  int error = 0;
  ok_ = EGifCloseFile(gif_, &error) == GIF_OK && ok_;
  gif_ = nullptr;
  return ok_;
}

}  // namespace lumora::cli
