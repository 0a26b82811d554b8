#pragma once

#include <functional>
#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "cli/tube_picture.h"

struct GifFileType;

namespace lumora::cli {

// Where an encoder's bytes go as they are made; false when they could not be taken.
using GifSink = std::function<bool(std::string_view bytes)>;

// An endlessly looping animated GIF of frames of one size, each shown for delayCs hundredths
// of a second, handed to a sink as it is made. Only what changed is written: after the first
// frame each one is the smallest rectangle holding the pixels that differ from the picture
// shown before it, the unchanged pixels in it transparent, each left in place for the next
// (a frame that changes nothing is one transparent pixel), so that a viewer shows every frame
// exactly as given. Colours keep their exact 24-bit values: the colours given at the start,
// when there are no more than 255, make the file's one colour table; a frame with another
// colour, or every frame when none were given, has a table of its own of up to 256.
class GifEncoder {
 public:
  GifEncoder(int width, int height, int delayCs, GifSink sink,
             std::span<const CellColour> colours = {});
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
  // The file's colour table: each colour's index; the one after the last is transparent.
  std::map<CellColour, int> common_;
  // What a viewer shows after the frames written so far; empty before the first.
  std::vector<CellColour> shown_;
};

}  // namespace lumora::cli
