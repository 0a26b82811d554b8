#include "cli/gif_commands.h"

#include <memory>
#include <set>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/gif_file.h"
#include "cli/gif_reader.h"
#include "cli/headless_window.h"
#include "cli/output_file.h"
#include "cli/progress_bar.h"
#include "cli/refusal_reason.h"
#include "cli/tube_picture.h"
#include "files/atomic_save.h"
#include "files/input_file.h"
#include "files/sequence_file.h"
#include "main_window/effect_steps.h"

namespace lumora::cli {

namespace {

// The frames of one pass: up to and with the frame at which the preview reaches the end of
// the sequence. In a mode the preview has no step for, the window's grid stands still and
// the end never comes: its one pass is the one picture.
int PassLength(MainWindowModel& model) {
  const int mode = model.Editor().Store().EffectMode;
  if (mode != EffectNormal && mode != EffectWave1 && mode != EffectWave2) return 1;
  for (int frame = 1; frame < kMaxRenderFrames; ++frame) {
    model.PreviewTick();
    if (model.Editor().TakeSequenceEnd()) return frame;
  }
  return kMaxRenderFrames;
}

// Every colour a frame of the sequence's preview can show: the picture's own and the
// scenes' cells.
std::vector<CellColour> FrameColours(const SceneStore& store, int scale) {
  std::set<CellColour> colours;
  for (const CellColour colour : DrawTubes({}, scale).pixels) colours.insert(colour);
  for (int slot = 0; slot < store.SceneCount; ++slot) {
    for (const CellColour colour : store.Slot(slot)) colours.insert(colour);
  }
  return {colours.begin(), colours.end()};
}

std::unique_ptr<HeadlessWindow> OpenSequence(const std::string& sequence, std::ostream& err) {
  auto window = std::make_unique<HeadlessWindow>();
  if (window->OpenSequence(sequence)) return window;
  auto file = std::make_unique<SequenceFileData>();
  err << sequence << ": refused: the sequence file "
      << RefusalReason(ReadSequenceFile(sequence, *file)) << "\n";
  return nullptr;
}

}  // namespace

int RenderSequence(const RenderRequest& request, std::ostream& out, std::ostream& err,
                   bool terminal) {
  if (!OutputIsAFile(request.output, err)) return kExitRefused;
  auto window = OpenSequence(request.sequence, err);
  if (!window) return kExitRefused;
  // The pass is counted on a window of its own, so that the frames drawn start afresh.
  const int count = request.frames ? *request.frames : PassLength(window->Model());
  window = OpenSequence(request.sequence, err);
  if (!window) return kExitRefused;
  MainWindowModel& model = window->Model();
  // Each frame goes to the file as it is made: memory stays flat whatever the count.
  AtomicSave file(request.output);
  const Picture size = DrawTubes({}, request.scale);
  GifEncoder gif(
      size.width, size.height, kFrameDelayCs,
      [&file](std::string_view bytes) { return file.Write(bytes); },
      FrameColours(model.Editor().Store(), request.scale));
  ProgressBar progress(out, terminal);
  bool drawn = true;
  // Each tick of the preview timer, as the window runs it.
  for (int frame = 0; frame < count && drawn; ++frame) {
    model.PreviewTick();
    drawn = gif.Add(DrawTubes(model.Editor().Store().WorkingScene, request.scale));
    if (terminal) progress.Show((frame + 1) * 100 / count);
  }
  if (terminal) progress.Finish(drawn);
  if (!gif.Finish() || !drawn || !file.Commit()) {
    err << request.output << ": could not be written\n";
    return kExitRefused;
  }
  return kExitSuccess;
}

int ImportGif(const std::string& gif, const std::string& output, int effectMode, int every,
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
  if (points) frames = reader.ReadFrames(*points, MaxScenes, every);
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
