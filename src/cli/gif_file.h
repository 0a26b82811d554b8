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

}  // namespace lumora::cli
