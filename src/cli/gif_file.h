#pragma once

#include <string>
#include <vector>

#include "cli/tube_picture.h"

struct GifFileType;

namespace lumora::cli {

// An endlessly looping animated GIF of frames of one size, each shown for delayCs hundredths
// of a second, built in memory frame by frame, so only the compressed frames are kept. Each
// frame has a palette of its own, so up to 256 colours a frame keep their exact 24-bit
// values.
class GifEncoder {
 public:
  GifEncoder(int width, int height, int delayCs);
  ~GifEncoder();
  GifEncoder(const GifEncoder&) = delete;
  GifEncoder& operator=(const GifEncoder&) = delete;

  // False once giflib refused, or a frame was of another size or had more than 256 colours.
  bool Add(const Picture& frame);
  // The file's bytes; empty when a frame was refused.
  std::string Finish();

 private:
  std::string bytes_;
  GifFileType* gif_ = nullptr;
  const int width_;
  const int height_;
  const int delayCs_;
  bool ok_ = false;
};

// The frames of an animated GIF as they are seen, one after the other: each drawn over the
// ones before as their disposal leaves them. On failure error says why: also when the GIF
// has more than maxFrames frames or a screen over kMaxGifPixels.
struct DecodedGif {
  std::vector<Picture> frames;
  std::string error;  // empty on success
};
inline constexpr long kMaxGifPixels = 4096L * 4096L;
DecodedGif DecodeGif(const std::string& path, int maxFrames);

}  // namespace lumora::cli
