#include "cli/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>

namespace lumora::cli {

namespace {

constexpr int kPaletteSize = 256;

int AppendToString(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

CellColour ColourOf(const GifColorType& c) {
  return CellColour{c.Red} | CellColour{c.Green} << 8 | CellColour{c.Blue} << 16;
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

GifEncoder::GifEncoder(int width, int height, int delayCs)
    : width_(width), height_(height), delayCs_(delayCs) {
  int error = 0;
  gif_ = EGifOpen(&bytes_, AppendToString, &error);
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

std::string GifEncoder::Finish() {
  if (gif_ == nullptr) return {};
  int error = 0;
  ok_ = EGifCloseFile(gif_, &error) == GIF_OK && ok_;
  gif_ = nullptr;
  return ok_ ? std::move(bytes_) : std::string();
}

DecodedGif DecodeGif(const std::string& path, int maxFrames) {
  DecodedGif decoded;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) {
    decoded.error = GifErrorString(error);
    return decoded;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    decoded.error = GifErrorString(gif->Error);
    DGifCloseFile(gif, &error);
    return decoded;
  }
  if (gif->ImageCount > maxFrames) {
    decoded.error = std::to_string(gif->ImageCount) + " frames, more than the " +
                    std::to_string(maxFrames) + " a sequence can hold";
  } else if (static_cast<long>(gif->SWidth) * gif->SHeight > kMaxGifPixels) {
    decoded.error = "a screen of " + std::to_string(gif->SWidth) + " x " +
                    std::to_string(gif->SHeight) + " pixels is too large";
  }
  if (!decoded.error.empty()) {
    DGifCloseFile(gif, &error);
    return decoded;
  }
  Picture canvas;
  canvas.width = gif->SWidth;
  canvas.height = gif->SHeight;
  canvas.pixels.assign(static_cast<std::size_t>(canvas.width) * canvas.height, 0);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr) {
      decoded.error = "frame " + std::to_string(i + 1) + " has no colour table";
      break;
    }
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, i, &control);
    const Picture before = canvas;
    // Only the part of the frame inside the screen is drawn.
    const int x1 = std::min(desc.Left + desc.Width, canvas.width);
    const int y1 = std::min(desc.Top + desc.Height, canvas.height);
    for (int y = std::max(desc.Top, 0); y < y1; ++y) {
      for (int x = std::max(desc.Left, 0); x < x1; ++x) {
        const int index =
            image.RasterBits[static_cast<std::size_t>(y - desc.Top) * desc.Width + (x - desc.Left)];
        if (index == control.TransparentColor || index >= map->ColorCount) continue;
        canvas.pixels[static_cast<std::size_t>(y) * canvas.width + x] =
            ColourOf(map->Colors[index]);
      }
    }
    decoded.frames.push_back(canvas);
    if (control.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = std::max(desc.Top, 0); y < y1; ++y) {
        for (int x = std::max(desc.Left, 0); x < x1; ++x) {
          canvas.pixels[static_cast<std::size_t>(y) * canvas.width + x] = 0;
        }
      }
    } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
      canvas = before;
    }
  }
  DGifCloseFile(gif, &error);
  if (decoded.error.empty() && decoded.frames.empty()) decoded.error = "the GIF has no frames";
  return decoded;
}

}  // namespace lumora::cli
