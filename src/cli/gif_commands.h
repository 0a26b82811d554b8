#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace lumora::cli {

// The preview's pace: 10 frames a second.
inline constexpr int kFrameDelayCs = 10;
// A default render stops here even if the sequence has not come to its end.
inline constexpr int kMaxRenderFrames = 20000;

// "render": the frames the preview shows after the sequence is opened, one per tick, as an
// animated GIF of the tubes at scale (see DrawTubes). Without frames, one pass of the
// sequence: up to and with the frame at which the preview reaches its end. On a terminal
// (terminal says whether out is one) a bar shows how far it has come.
struct RenderRequest {
  std::string sequence;
  std::string output;
  int scale = 24;
  std::optional<int> frames;
};
int RenderSequence(const RenderRequest& request, std::ostream& out, std::ostream& err,
                   bool terminal);

// "import": each frame of the GIF, or frames every, 2 x every ... of it, becomes a scene
// (see TubePoints), saved as a sequence file in effectMode with the application's writer.
int ImportGif(const std::string& gif, const std::string& output, int effectMode, int every,
              std::ostream& err);

}  // namespace lumora::cli
