// Feeds arbitrary bytes to the GIF reader as import reads a file: it must never crash, read
// past a buffer or hang, and what it accepts has a colour for each point of at most 99
// frames. giflib itself is not instrumented: what guides the fuzzer is the reader's own code.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

#include "cli/gif_reader.h"
#include "cli/tube_picture.h"
#include "common/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const lumora::cli::GifBytes bytes = [&rest](unsigned char* buffer, std::size_t wanted) {
    const std::size_t given = std::min(wanted, rest.size());
    std::memcpy(buffer, rest.data(), given);
    rest.remove_prefix(given);
    return static_cast<long>(given);
  };
  lumora::cli::GifReader reader(bytes);
  // A screen too small for the tubes is still read through, at no point.
  const auto points = lumora::cli::TubePoints(reader.Width(), reader.Height());
  const std::span<const lumora::cli::PixelPoint> where =
      points ? std::span<const lumora::cli::PixelPoint>(*points)
             : std::span<const lumora::cli::PixelPoint>();
  for (const lumora::cli::PixelPoint& point : where) {
    if (point.x < 0 || point.x >= reader.Width() || point.y < 0 || point.y >= reader.Height()) {
      std::abort();
    }
  }
  const auto frames = reader.ReadFrames(where, lumora::MaxScenes);
  if (frames.empty() == reader.Error().empty() ||
      frames.size() > static_cast<std::size_t>(lumora::MaxScenes)) {
    std::abort();
  }
  for (const auto& frame : frames) {
    if (frame.size() != where.size()) std::abort();
  }
  return 0;
}
