#pragma once

#include <functional>
#include <string_view>

#include "cli/tube_picture.h"

struct GifFileType;

namespace lumora::cli {

// Where an encoder's bytes go as they are made; false when they could not be taken.
using GifSink = std::function<bool(std::string_view bytes)>;

// An endlessly looping animated GIF of frames of one size, each shown for delayCs hundredths
// of a second, handed to a sink as it is made, so that a frame is forgotten once it is
// written. Each frame has a palette of its own, so up to 256 colours a frame keep their exact
// 24-bit values.
class GifEncoder {
 public:
  GifEncoder(int width, int height, int delayCs, GifSink sink);
  ~GifEncoder();
  GifEncoder(const GifEncoder&) = delete;
  GifEncoder& operator=(const GifEncoder&) = delete;

  // False once giflib or the sink refused, or a frame was of another size or had more than
  // 256 colours.
  bool Add(const Picture& frame);
  // Writes the end of the file; false when anything was refused.
  bool Finish();

 private:
  GifSink sink_;
  GifFileType* gif_ = nullptr;
  const int width_;
  const int height_;
  const int delayCs_;
  bool ok_ = false;
};

}  // namespace lumora::cli
