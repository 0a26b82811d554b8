#include "cli/gif_file.h"

#include <gif_lib.h>

#include <array>
#include <map>
#include <memory>

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

// The frame as palette indices with its palette; false with more than 256 colours.
bool Index(const Picture& frame, std::vector<GifPixelType>& indices, ColourMap& map) {
  std::map<CellColour, int> palette;
  std::array<GifColorType, kPaletteSize> colours{};
  indices.resize(frame.pixels.size());
  for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
    // The tubes are drawn in runs of one colour: a run is looked up once.
    if (i > 0 && frame.pixels[i] == frame.pixels[i - 1]) {
      indices[i] = indices[i - 1];
      continue;
    }
    const auto [entry, added] =
        palette.try_emplace(frame.pixels[i], static_cast<int>(palette.size()));
    if (added) {
      if (entry->second >= kPaletteSize) return false;
      colours[entry->second] = GifColourOf(frame.pixels[i]);
    }
    indices[i] = static_cast<GifPixelType>(entry->second);
  }
  map.reset(GifMakeMapObject(kPaletteSize, colours.data()));
  return map != nullptr;
}

bool PutLoopExtension(GifFileType* gif) {
  static constexpr GifByteType kNetscape[] = "NETSCAPE2.0";
  static constexpr GifByteType kForever[] = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, kNetscape) == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, kForever) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, const Picture& frame, int delayCs) {
  std::vector<GifPixelType> indices;
  ColourMap map;
  if (!Index(frame, indices, map)) return false;
  GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCs, NO_TRANSPARENT_COLOR};
  GifByteType extension[4];
  const std::size_t length = EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
          GIF_OK ||
      EGifPutImageDesc(gif, 0, 0, frame.width, frame.height, false, map.get()) != GIF_OK) {
    return false;
  }
  for (int y = 0; y < frame.height; ++y) {
    if (EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * frame.width, frame.width) !=
        GIF_OK) {
      return false;
    }
  }
  return true;
}

}  // namespace

GifEncoder::GifEncoder(int width, int height, int delayCs, GifSink sink)
    : sink_(std::move(sink)), width_(width), height_(height), delayCs_(delayCs) {
  int error = 0;
  gif_ = EGifOpen(&sink_, PassToSink, &error);
  if (gif_ == nullptr) return;
  EGifSetGifVersion(gif_, true);
  ok_ = EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) == GIF_OK && PutLoopExtension(gif_);
}

GifEncoder::~GifEncoder() {
  Finish();
}

bool GifEncoder::Add(const Picture& frame) {
  ok_ = ok_ && frame.width == width_ && frame.height == height_ && PutFrame(gif_, frame, delayCs_);
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
