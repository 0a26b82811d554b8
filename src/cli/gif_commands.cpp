#include "cli/gif_commands.h"

#include <memory>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/gif_file.h"
#include "cli/gif_reader.h"
#include "cli/headless_window.h"
#include "cli/output_file.h"
#include "cli/refusal_reason.h"
#include "cli/tube_picture.h"
#include "files/atomic_save.h"
#include "files/input_file.h"
#include "files/sequence_file.h"
#include "main_window/effect_steps.h"

namespace lumora::cli {

int RenderSequence(const std::string& sequence, const std::string& output, int scale,
                   std::optional<int> frames, std::ostream& err) {
  if (!OutputIsAFile(output, err)) return kExitRefused;
  auto window = std::make_unique<HeadlessWindow>();
  if (!window->OpenSequence(sequence)) {
    auto file = std::make_unique<SequenceFileData>();
    err << sequence << ": refused: the sequence file "
        << RefusalReason(ReadSequenceFile(sequence, *file)) << "\n";
    return kExitRefused;
  }
  MainWindowModel& model = window->Model();
  const Picture size = DrawTubes({}, scale);
  GifEncoder gif(size.width, size.height, kFrameDelayCs);
  const int count = frames.value_or(kMaxRenderFrames);
  // In a mode the preview has no step for, the window's grid stands still and the sequence
  // never reaches its end: its one pass is the one picture.
  const int mode = model.Editor().Store().EffectMode;
  const bool still = mode != EffectNormal && mode != EffectWave1 && mode != EffectWave2;
  // Each tick of the preview timer, as the window runs it.
  for (int frame = 0; frame < count; ++frame) {
    model.PreviewTick();
    if (!gif.Add(DrawTubes(model.Editor().Store().WorkingScene, scale))) break;
    if (!frames && (still || model.Editor().TakeSequenceEnd())) break;
  }
  const std::string bytes = gif.Finish();
  if (bytes.empty() || !SaveFileAtomically(output, bytes)) {
    err << output << ": could not be written\n";
    return kExitRefused;
  }
  return kExitSuccess;
}

int ImportGif(const std::string& gif, const std::string& output, int effectMode,
              std::ostream& err) {
  if (!OutputIsAFile(output, err)) return kExitRefused;
  InputFile file(gif);
  if (file.Opening() != ReadResult::Ok) {
    err << gif << ": refused: the GIF " << RefusalReason(file.Opening()) << "\n";
    return kExitRefused;
  }
  const GifBytes bytes = [&file](unsigned char* buffer, std::size_t size) {
    return file.Read(buffer, size);
  };
  GifReader reader(bytes);
  const auto points = TubePoints(reader.Width(), reader.Height());
  if (reader.Error().empty() && !points) {
    err << gif << ": refused: a picture of " << reader.Width() << " x " << reader.Height()
        << " pixels is smaller than the tubes' cells, 8 x 16 (or 16 x 8 standing)\n";
    return kExitRefused;
  }
  std::vector<std::vector<CellColour>> frames;
  if (points) frames = reader.ReadFrames(*points, MaxScenes);
  if (!reader.Error().empty()) {
    err << gif << ": refused: " << reader.Error() << "\n";
    return kExitRefused;
  }
  std::vector<CellColour> cells;
  for (const std::vector<CellColour>& frame : frames)
    cells.insert(cells.end(), frame.begin(), frame.end());
  if (!SaveSequenceFile(output, static_cast<int>(frames.size()), effectMode, cells)) {
    err << output << ": could not be written\n";
    return kExitRefused;
  }
  return kExitSuccess;
}

}  // namespace lumora::cli
