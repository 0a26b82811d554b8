#include "cli/gif_reader.h"

#include <gif_lib.h>

namespace lumora::cli {

namespace {

// giflib asks for exactly length bytes each time; fewer means the file ended or failed.
int ReadBytes(GifFileType* gif, GifByteType* buffer, int length) {
  const GifBytes& bytes = *static_cast<const GifBytes*>(gif->UserData);
  int done = 0;
  while (done < length) {
    const long got = bytes(buffer + done, static_cast<std::size_t>(length - done));
    if (got <= 0) break;
    done += static_cast<int>(got);
  }
  return done;
}

std::string ErrorText(int code) {
  // giflib leaves some failures without a code, or with one it has no words for.
  const char* text = GifErrorString(code);
  return text != nullptr ? text : "the file is not a GIF, or is cut short";
}

CellColour ColourOf(const GifColorType& c) {
  return CellColour{c.Red} | CellColour{c.Green} << 8 | CellColour{c.Blue} << 16;
}

std::string SizeText(long width, long height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

const std::string kLimitText = "more than " + SizeText(kMaxGifSide, kMaxGifSide);

bool Inside(const GifImageDesc& frame, PixelPoint point) {
  return point.x >= frame.Left && point.x - frame.Left < frame.Width && point.y >= frame.Top &&
         point.y - frame.Top < frame.Height;
}

// Rows of an interlaced frame come as 0, 8, 16…, then 4, 12…, then 2, 6…, then the odd ones.
constexpr int kInterlaceStart[] = {0, 4, 2, 1};
constexpr int kInterlaceStep[] = {8, 8, 4, 2};

}  // namespace

GifReader::GifReader(const GifBytes& bytes) {
  int error = 0;
  gif_ = DGifOpen(const_cast<GifBytes*>(&bytes), ReadBytes, &error);
  if (gif_ == nullptr) {
    error_ = ErrorText(error);
    return;
  }
  width_ = gif_->SWidth;
  height_ = gif_->SHeight;
  if (long{width_} * height_ > kMaxGifPixels) {
    error_ = "a screen of " + SizeText(width_, height_) + " is too large, " + kLimitText;
  }
}

GifReader::~GifReader() {
  int error = 0;
  if (gif_ != nullptr) DGifCloseFile(gif_, &error);
}

bool GifReader::Failed() {
  error_ = ErrorText(gif_->Error);
  return false;
}

std::vector<std::vector<CellColour>> GifReader::ReadFrames(std::span<const PixelPoint> points,
                                                           int maxFrames, int every) {
  std::vector<std::vector<CellColour>> frames;
  std::vector<CellColour> seen(points.size(), 0);
  // Frames passed over are decoded too, since the ones taken are drawn over them: the work
  // stays within what maxFrames of the largest frames would take.
  long pixelsLeft = kMaxGifPixels * maxFrames;
  long read = 0;
  GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  GifRecordType type = UNDEFINED_RECORD_TYPE;
  while (error_.empty() && type != TERMINATE_RECORD_TYPE) {
    if (DGifGetRecordType(gif_, &type) != GIF_OK) {
      Failed();
    } else if (type == EXTENSION_RECORD_TYPE) {
      ReadExtension(control);
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      read += 1;
      const bool taken = read % every == 0;
      if (taken && static_cast<int>(frames.size()) == maxFrames) {
        error_ = "more than the " + std::to_string(maxFrames) + " frames a sequence can hold";
        error_ += every == 1 ? " (--every N takes one frame in N)"
                             : ", taking one frame in " + std::to_string(every);
        break;
      }
      const std::vector<CellColour> before = seen;
      if (!ReadFrame(points, static_cast<int>(read), control.TransparentColor, seen, pixelsLeft)) {
        break;
      }
      if (taken) frames.push_back(seen);
      if (control.DisposalMode == DISPOSE_BACKGROUND) {
        for (std::size_t i = 0; i < points.size(); ++i) {
          if (Inside(gif_->Image, points[i])) seen[i] = 0;
        }
      } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
        seen = before;
      }
      control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    }
  }
  if (error_.empty() && frames.empty()) error_ = "the GIF has no frames";
  if (!error_.empty()) frames.clear();
  return frames;
}

bool GifReader::ReadExtension(GraphicsControlBlock& control) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif_, &code, &block) != GIF_OK) return Failed();
  // A malformed control block leaves the frame's defaults.
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
    DGifExtensionToGCB(block[0], block + 1, &control);
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif_, &block) != GIF_OK) return Failed();
  }
  return true;
}

bool GifReader::ReadFrame(std::span<const PixelPoint> points, int frame, int transparent,
                          std::vector<CellColour>& seen, long& pixelsLeft) {
  if (DGifGetImageDesc(gif_) != GIF_OK) return Failed();
  const GifImageDesc& desc = gif_->Image;
  const std::string name = "frame " + std::to_string(frame);
  if (long{desc.Width} * desc.Height > kMaxGifPixels) {
    error_ = name + " of " + SizeText(desc.Width, desc.Height) + " is too large, " + kLimitText;
    return false;
  }
  pixelsLeft -= long{desc.Width} * desc.Height;
  if (pixelsLeft < 0) {
    error_ = name + " brings the pixels to decode past those of the frames a sequence can hold";
    return false;
  }
  const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif_->SColorMap;
  if (map == nullptr) {
    error_ = name + " has no colour table";
    return false;
  }
  if (desc.Width == 0 || desc.Height == 0) {
    // No line to decode: its data is passed over as it is.
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif_, &codeSize, &block) != GIF_OK) return Failed();
    while (block != nullptr) {
      if (DGifGetCodeNext(gif_, &block) != GIF_OK) return Failed();
    }
    return true;
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  const int passes = desc.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = desc.Interlace ? kInterlaceStart[pass] : 0;
    const int step = desc.Interlace ? kInterlaceStep[pass] : 1;
    for (int row = start; row < desc.Height; row += step) {
      if (DGifGetLine(gif_, line.data(), desc.Width) != GIF_OK) return Failed();
      for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].y != desc.Top + row || !Inside(desc, points[i])) continue;
        const int index = line[static_cast<std::size_t>(points[i].x - desc.Left)];
        if (index != transparent && index < map->ColorCount) seen[i] = ColourOf(map->Colors[index]);
      }
    }
  }
  return true;
}

}  // namespace lumora::cli
