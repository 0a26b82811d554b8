#pragma once

#include <string>
#include <vector>

#include "cli/tube_picture.h"

namespace lumora::cli {

// The bytes of an endlessly looping animated GIF of frames of one size, each shown for
// delayCs hundredths of a second. Each frame has a palette of its own, so up to 256 colours
// a frame keep their exact 24-bit values. Empty when giflib refuses, or a frame has more
// than 256 colours.
std::string EncodeGif(const std::vector<Picture>& frames, int delayCs);

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
