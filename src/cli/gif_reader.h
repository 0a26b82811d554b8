#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "cli/tube_picture.h"

struct GifFileType;
struct GraphicsControlBlock;

namespace lumora::cli {

// The bytes of a GIF as they are asked for: up to size bytes into buffer; how many were
// given, 0 at the end, -1 on an error.
using GifBytes = std::function<long(unsigned char* buffer, std::size_t size)>;

// The largest screen, and the largest frame, a GIF may have.
inline constexpr int kMaxGifSide = 4096;
inline constexpr long kMaxGifPixels = long{kMaxGifSide} * kMaxGifSide;

// Reads a GIF record by record, so that nothing is decoded before the frame count and the
// frame's size have been checked, and only the few pixels asked for are kept of each frame:
// what a frame's pixels cost is one of its lines at a time.
class GifReader {
 public:
  // Reads the header and the screen's size; bytes must outlive the reader.
  explicit GifReader(const GifBytes& bytes);
  ~GifReader();
  GifReader(const GifReader&) = delete;
  GifReader& operator=(const GifReader&) = delete;

  // Why the GIF was refused; empty while it is read well.
  const std::string& Error() const { return error_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The frames as they are seen, each drawn over the ones before as their disposal leaves
  // them (black before the first), read at points of the screen: every one, or with every N
  // frames N, 2N, 3N ... Nothing, with Error set, when more than maxFrames would be taken or
  // none, for a frame of more than kMaxGifPixels, more pixels in all than maxFrames such
  // frames, a frame without colours, or a file that is not a GIF to its end. Each frame is
  // refused before it is decoded.
  std::vector<std::vector<CellColour>> ReadFrames(std::span<const PixelPoint> points, int maxFrames,
                                                  int every = 1);

 private:
  // Keeps giflib's reason in Error; false.
  bool Failed();
  // An extension, of which only the control block of the next frame matters.
  bool ReadExtension(GraphicsControlBlock& control);
  // The next frame drawn over seen at points; its pixels are counted against pixelsLeft.
  bool ReadFrame(std::span<const PixelPoint> points, int frame, int transparent,
                 std::vector<CellColour>& seen, long& pixelsLeft);

  GifFileType* gif_ = nullptr;
  std::string error_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace lumora::cli
