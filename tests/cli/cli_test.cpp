#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/gif_commands.h"
#include "cli/gif_file.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "main_window/controller_image.h"
#include "main_window/fake_main_window_view.h"
#include "main_window/main_window_model.h"
#include "main_window/tube_layout.h"
#include "support/beside_program.h"
#include "support/fake_dialogs.h"
#include "support/pty_pair.h"
#include "support/temp_folder.h"

extern char** environ;

namespace lumora::testing {
namespace {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
  long maxRssKb = 0;  // the most memory the run held
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The fixture files, made with the application's writers, and a way to run lumora-cli in
// their folder.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3 * kCellsPerScene; ++i) {
      // Every colour of 24 bits is kept, not only the palette's.
      sequence.push_back(static_cast<CellColour>((i * 0x010203 + 0x50) & 0xFFFFFF));
    }
    ASSERT_TRUE(SaveSequenceFile(File("song.sqx"), 3, EffectNormal, sequence));
    ASSERT_TRUE(SaveSequenceFile(File("wave.sqx"), 2, EffectWave2, sequence));
    project = std::make_unique<ProjectFileData>();
    project->ProgramTable[0] = 3;  // program 1: 3 scenes, "fala1"
    project->ProgramTable[1] = EffectWave1;
    project->ProgramTable[4] = 2;  // program 3: 2 scenes, normal
    project->ProgramTable[5] = EffectNormal;
    for (int i = 0; i < 5 * kCellsPerScene; ++i) {
      project->ProgramStore[i] = kPalette[(i * 7 + i / 128) % kPalette.size()];
    }
    for (int k = 0; k < kAutoPrograms; ++k) {
      autoTable[3 * k] = 1;
      autoTable[3 * k + 1] = 3;
      autoTable[3 * k + 2] = k + 2;
    }
    ASSERT_TRUE(
        SaveProjectFile(File("show.prj"), project->ProgramTable, project->ProgramStore, autoTable));
    std::string text;
    for (int i = 0; i < kTableFileValues; ++i) {
      table[i] = (i * 37 + 11) % 256;
      text += std::to_string(table[i]) + " ";
    }
    Write("str.tab", text);
    Write("bad.sqx", "3 128 1 128 17 x");
    Write("bad.prj", "112640 112641");
  }

  std::string File(const std::string& name) const { return folder.File(name); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(File(name), std::ios::binary) << text;
  }

  // Starts lumora-cli with args in the fixture folder, its output going to files there.
  // Standard output goes to stdoutPath instead when one is given. The locale's variables are
  // the ones in locale alone, so that the test's own locale changes nothing.
  pid_t Start(const std::vector<std::string>& args, const std::string& stdoutPath = "",
              const std::vector<std::string>& locale = {}) const {
    static const std::string cli = BesideProgram(LUMORA_CLI_FROM_TEST);
    std::vector<std::string> all = {cli};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = stdoutPath.empty() ? File(".out") : stdoutPath;
    const std::string err = File(".err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.Path().c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      const std::string_view name(*variable, std::string_view(*variable).find('='));
      const bool isLocale =
          name == "LANGUAGE" || name == "LANG" || name.starts_with("LC_") || name == "LUMORA_LANG";
      if (!isLocale) environment.emplace_back(*variable);
    }
    environment.insert(environment.end(), locale.begin(), locale.end());
    std::vector<char*> envp;
    for (auto& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // Waits for a started lumora-cli to end: its exit code and output.
  CliRun Wait(pid_t pid) const {
    CliRun run;
    int status = 0;
    struct rusage usage {};
    if (pid != 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
      run.exitCode = WEXITSTATUS(status);
      run.maxRssKb = usage.ru_maxrss;
    }
    run.out = ReadAll(File(".out"));
    run.err = ReadAll(File(".err"));
    // lumora-cli speaks English; the texts the tests give it are ASCII.
    for (const std::string_view polish : {"ą", "ć", "ę", "ł", "ń", "ó", "ś", "ź", "ż", "Ł"}) {
      EXPECT_EQ(run.out.find(polish), std::string::npos) << run.out;
      EXPECT_EQ(run.err.find(polish), std::string::npos) << run.err;
    }
    std::filesystem::remove(File(".out"));
    std::filesystem::remove(File(".err"));
    return run;
  }

  CliRun Cli(const std::vector<std::string>& args) const { return Wait(Start(args)); }

  // What the main window itself writes: opens the given files through its dialogs, then
  // runs save into a file, and returns that file's bytes.
  template <typename Save>
  std::string WindowWrites(const std::vector<std::string>& open, Save save) const {
    FakeMainWindowView view;
    FakeDialogs dialogs;
    auto model = std::make_unique<MainWindowModel>(view, dialogs, dialogs);
    model->FormCreate();
    for (const std::string& name : open) {
      dialogs.answers.push_back(File(name));
      if (name.ends_with(".prj")) {
        model->OpenProject();
      } else {
        model->OpenSequence();
      }
    }
    dialogs.answers.push_back(File("expected.out"));
    save(*model);
    EXPECT_TRUE(dialogs.errors.empty());
    return ReadAll(File("expected.out"));
  }

  // The 57088 bytes the programming window sends for show.prj and str.tab.
  std::string ExpectedImage() const { return ExpectedImage(table); }
  std::string ExpectedImage(const TableFileArray& tableValues) const {
    PackedScenesArray packed{};
    PackScenes(project->ProgramStore, packed);
    AutoTableArray fullAuto = autoTable;
    fullAuto[kAutoTableSize - 1] = 1;  // a started window's spare 22nd value
    auto image = std::make_unique<ControllerImageArray>();
    BuildImageTables(fullAuto, project->ProgramTable, packed, *image);
    std::ranges::copy(tableValues, image->begin() + kImageTableFile);
    const SentImageArray sent = SentImage(*image);
    return std::string(sent.begin(), sent.end());
  }

  TempFolder folder;
  std::vector<CellColour> sequence;
  std::unique_ptr<ProjectFileData> project;
  AutoTableArray autoTable{};
  TableFileArray table{};
};

// A command line and what it must give: exit code and a part of stdout and of stderr, where
// an empty part means that nothing at all was written there.
struct Case {
  std::vector<std::string> args;
  int exitCode;
  std::string out;
  std::string err;
};

void ExpectPart(const std::string& written, const std::string& part) {
  if (part.empty()) {
    EXPECT_EQ(written, "");
  } else {
    EXPECT_NE(written.find(part), std::string::npos) << written;
  }
}

template <typename Runner>
void ExpectCases(const std::vector<Case>& cases, Runner cli) {
  for (const Case& c : cases) {
    std::string line;
    for (const auto& arg : c.args) line += arg + " ";
    SCOPED_TRACE(line);
    const CliRun run = cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    ExpectPart(run.out, c.out);
    ExpectPart(run.err, c.err);
  }
}

TEST_F(CliTest, CheckSummarisesEachFileAndNamesWhyOneIsRefused) {
  std::filesystem::create_directory(File("folder.sqx"));
  // Values no spinner of the window takes: read, shown and warned of, not refused.
  AutoTableArray odd = autoTable;
  std::ranges::copy(std::array{-2147483647 - 1, 2147483647, 0}, odd.begin());
  std::ranges::copy(std::array{-1, 57, 100}, odd.begin() + 3 * (kAutoPrograms - 1));
  ASSERT_TRUE(SaveProjectFile(File("odd.prj"), project->ProgramTable, project->ProgramStore, odd));
  const std::string outside = " lies outside what the window's spinners allow ";
  ExpectCases(
      {
          {{"check", "song.sqx"}, 0, "song.sqx: sequence, 3 scenes, mode normal\n", ""},
          {{"check", "wave.sqx"}, 0, "2 scenes, mode fala2", ""},
          {{"check", "show.prj"},
           0,
           "show.prj: project, 2 programs, 5 of 880 scenes used\n"
           "  program 1: 3 scenes, mode fala1\n"
           "  program 3: 2 scenes, mode normal\n"
           "  automatic 1: programs 1..3, each 2 times\n",
           ""},
          {{"check", "show.prj"}, 0, "  automatic 7: programs 1..3, each 8 times\n", ""},
          {{"check", "odd.prj"},
           0,
           "  automatic 1: programs -2147483648..2147483647, each 0 times\n",
           "odd.prj: warning: automatic 1: start -2147483648" + outside +
               "(1..56)\n"
               "odd.prj: warning: automatic 1: end 2147483647" +
               outside +
               "(1..56)\n"
               "odd.prj: warning: automatic 1: loops 0" +
               outside +
               "(1..99)\n"
               "odd.prj: warning: automatic 7: start -1" +
               outside +
               "(1..56)\n"
               "odd.prj: warning: automatic 7: end 57" +
               outside +
               "(1..56)\n"
               "odd.prj: warning: automatic 7: loops 100" +
               outside + "(1..99)\n"},
          {{"check", "odd.prj", "show.prj"},
           0,
           "  automatic 2: programs 1..3, each 3 times\n",
           "warning: automatic 7"},
          {{"check", "str.tab"}, 0, "str.tab: table OK\n", ""},
          {{"check", "bad.sqx", "song.sqx"},
           1,
           "song.sqx: sequence",
           "bad.sqx: refused: the file is not valid"},
          {{"check", "bad.prj"}, 1, "", "bad.prj: refused: the file is not valid"},
          {{"check", "gone.prj"}, 1, "", "gone.prj: refused: the file cannot be opened"},
          {{"check", "folder.sqx"}, 1, "", "folder.sqx: refused: the file is not a regular"},
          {{"check", "notes.txt"}, 1, "", "notes.txt: refused: not a sequence"},
          {{"check"}, 2, "", "FILE is required"},
          {{"check", "--help"}, 0, "Validate", ""},
          {{"frobnicate"}, 2, "", "A subcommand is required"},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
}

TEST_F(CliTest, ImageIsWhatTheProgrammingWindowSends) {
  TableFileArray other{};
  std::string otherText;
  for (int i = 0; i < kTableFileValues; ++i) {
    other[i] = 255 - table[i];
    otherText += std::to_string(other[i]) + "\n";
  }
  Write("other.tab", otherText);
  ExpectCases(
      {
          {{"image", "show.prj", "-o", "image.bin"}, 0, "", ""},
          {{"image", "show.prj", "--table", "other.tab", "-o", "other.bin"}, 0, "", ""},
          {{"image", "show.prj", "--hex"}, 0, "00000000  00 02 01 00 02 02 00 02 03", ""},
          {{"image", "show.prj", "--table", "gone.tab", "-o", "x.bin"},
           1,
           "",
           "gone.tab: refused: the table file cannot be opened"},
          {{"image", "show.prj", "--table", "bad.sqx", "-o", "x.bin"},
           1,
           "",
           "bad.sqx: refused: the table file is not valid"},
          {{"image", "bad.prj", "-o", "x.bin"}, 1, "", "bad.prj: refused: the project file"},
          {{"image", "show.prj"}, 2, "", "-o,--output (or --hex) is required"},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  const std::string expected = ExpectedImage();
  ASSERT_EQ(expected.size(), 57088u);
  EXPECT_EQ(ReadAll(File("image.bin")), expected);
  EXPECT_EQ(ReadAll(File("other.bin")), ExpectedImage(other));
  EXPECT_NE(ReadAll(File("other.bin")), expected);
  EXPECT_FALSE(std::filesystem::exists(File("x.bin")));
}

TEST_F(CliTest, ListingAndExportAreWhatTheWindowSaves) {
  ExpectCases(
      {
          {{"listing", "show.prj", "-o", "show.lst"}, 0, "", ""},
          {{"export", "song.sqx", "--project", "show.prj", "-o", "song.exp"}, 0, "", ""},
          {{"listing", "bad.prj", "-o", "x.lst"}, 1, "", "bad.prj: refused"},
          {{"listing", "show.prj", "-o", "no/such/folder/x.lst"},
           1,
           "",
           "x.lst: could not be written"},
          {{"listing", "show.prj"}, 2, "", "--output is required"},
          {{"export", "bad.sqx", "--project", "show.prj", "-o", "x.exp"},
           1,
           "",
           "bad.sqx: refused: the sequence file is not valid"},
          {{"export", "song.sqx", "-o", "x.exp"}, 2, "", "--project is required"},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  EXPECT_EQ(ReadAll(File("show.lst")),
            WindowWrites({"show.prj"}, [](MainWindowModel& m) { m.SaveFullListing(); }));
  EXPECT_EQ(ReadAll(File("song.exp")),
            WindowWrites({"show.prj", "song.sqx"}, [](MainWindowModel& m) { m.ExportSequence(); }));
}

// The grid after each tick of the window's own preview of a sequence file.
std::vector<Scene> PreviewFrames(const std::string& sequence, int frames) {
  FakeMainWindowView view;
  FakeDialogs dialogs;
  auto model = std::make_unique<MainWindowModel>(view, dialogs, dialogs);
  model->FormCreate();
  dialogs.answers.push_back(sequence);
  model->OpenSequence();
  std::vector<Scene> shown;
  for (int frame = 0; frame < frames; ++frame) {
    model->PreviewTick();
    shown.push_back(model->Editor().Store().WorkingScene);
  }
  return shown;
}

TEST_F(CliTest, RenderedFramesImportBackAsThePreviewShowsThem) {
  ExpectCases(
      {
          {{"render", "song.sqx", "--scale", "1", "-o", "song1.gif"}, 0, "", ""},
          {{"import", "song1.gif", "-o", "back1.sqx"}, 0, "", ""},
          {{"render", "song.sqx", "-o", "song24.gif"}, 0, "", ""},
          {{"import", "song24.gif", "-o", "back24.sqx"}, 0, "", ""},
          {{"render", "song.sqx", "--scale", "5", "-o", "song5.gif"}, 0, "", ""},
          {{"import", "song5.gif", "-o", "back5.sqx"}, 0, "", ""},
          {{"render", "wave.sqx", "--scale", "3", "--frames", "40", "-o", "wave.gif"}, 0, "", ""},
          {{"import", "wave.gif", "--mode", "fala2", "-o", "wave40.sqx"}, 0, "", ""},
          {{"render", "song.sqx", "--scale", "1", "--frames", "100", "-o", "long.gif"}, 0, "", ""},
          {{"import", "long.gif", "-o", "x.sqx"},
           1,
           "",
           "more than the 99 frames a sequence can hold"},
          {{"import", "song.sqx", "-o", "x.sqx"}, 1, "", "song.sqx: refused: "},
          {{"render", "bad.sqx", "-o", "x.gif"}, 1, "", "bad.sqx: refused"},
          {{"render", "song.sqx", "--scale", "0", "-o", "x.gif"}, 2, "", "--scale"},
          {{"import", "song1.gif", "--mode", "fala9", "-o", "x.sqx"}, 2, "", "--mode"},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  const std::string original = ReadAll(File("song.sqx"));
  EXPECT_EQ(ReadAll(File("back1.sqx")), original);
  EXPECT_EQ(ReadAll(File("back24.sqx")), original);
  EXPECT_EQ(ReadAll(File("back5.sqx")), original);
  EXPECT_FALSE(std::filesystem::exists(File("x.sqx")));
  EXPECT_FALSE(std::filesystem::exists(File("x.gif")));

  // The wave's frames are the grid after each tick of the window's own preview.
  std::vector<CellColour> frames;
  for (const Scene& shown : PreviewFrames(File("wave.sqx"), 40)) {
    frames.insert(frames.end(), shown.begin(), shown.end());
  }
  EXPECT_EQ(ReadAll(File("wave40.sqx")), FormatSequenceFile(40, EffectWave2, frames));
}

// A GIF decoded as a viewer shows it: each frame drawn over the picture before it, its
// transparent pixels leaving that picture, and the area each frame covers.
struct Decoded {
  std::vector<cli::Picture> frames;
  std::vector<std::array<int, 4>> areas;  // left, top, width, height
};

Decoded DecodeGif(const std::string& path) {
  Decoded decoded;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
    ADD_FAILURE() << "giflib cannot read " << path;
    return decoded;
  }
  cli::Picture canvas{
      gif->SWidth, gif->SHeight,
      std::vector<CellColour>(static_cast<std::size_t>(gif->SWidth) * gif->SHeight)};
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif, i, &control);
    EXPECT_EQ(control.DisposalMode, DISPOSE_DO_NOT);
    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    for (int y = 0; y < desc.Height; ++y) {
      for (int x = 0; x < desc.Width; ++x) {
        const int index = image.RasterBits[y * desc.Width + x];
        if (index == control.TransparentColor) continue;
        const GifColorType c = map->Colors[index];
        canvas.pixels[static_cast<std::size_t>(desc.Top + y) * canvas.width + desc.Left + x] =
            CellColour{c.Red} | CellColour{c.Green} << 8 | CellColour{c.Blue} << 16;
      }
    }
    decoded.frames.push_back(canvas);
    decoded.areas.push_back({desc.Left, desc.Top, desc.Width, desc.Height});
  }
  DGifCloseFile(gif, &error);
  return decoded;
}

// A rendered GIF holds, after its first frame, only the rectangle in which a frame differs
// from the one before (one pixel when none does), and decodes to exactly the pictures of the
// preview's frames: with the colours in the file's one table, and with more colours than one
// table holds, each frame with its own.
TEST_F(CliTest, RenderWritesOnlyWhatChangedAndDecodesToThePreviewsFrames) {
  std::vector<CellColour> few;
  for (int i = 0; i < 4 * kCellsPerScene; ++i) few.push_back(kPalette[(i / 5 + i / 128) % 8]);
  ASSERT_TRUE(SaveSequenceFile(File("few.sqx"), 4, EffectWave1, few));
  std::vector<CellColour> still(few.begin(), few.begin() + kCellsPerScene);
  still.insert(still.end(), few.begin(), few.begin() + 2 * kCellsPerScene);
  ASSERT_TRUE(SaveSequenceFile(File("still.sqx"), 3, EffectNormal, still));
  const struct {
    const char* sequence;
    int scale;
    int frames;
  } cases[] = {{"few.sqx", 3, 150}, {"wave.sqx", 2, 40}, {"still.sqx", 24, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sequence);
    ASSERT_EQ(Cli({"render", c.sequence, "--scale", std::to_string(c.scale), "--frames",
                   std::to_string(c.frames), "-o", "out.gif"})
                  .exitCode,
              0);
    const Decoded decoded = DecodeGif(File("out.gif"));
    const std::vector<Scene> preview = PreviewFrames(File(c.sequence), c.frames);
    ASSERT_EQ(decoded.frames.size(), preview.size());
    for (int i = 0; i < c.frames; ++i) {
      const cli::Picture expected = cli::DrawTubes(preview[i], c.scale);
      ASSERT_EQ(decoded.frames[i].pixels, expected.pixels) << "frame " << i + 1;
      if (i == 0) continue;
      // The area of change, as a viewer sees it.
      const cli::Picture before = cli::DrawTubes(preview[i - 1], c.scale);
      std::array<int, 4> area = {0, 0, 1, 1};
      int x0 = expected.width, y0 = expected.height, x1 = 0, y1 = 0;
      for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
          if (before.At(x, y) == expected.At(x, y)) continue;
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1),
          y1 = std::max(y1, y + 1);
        }
      }
      if (x1 > 0) area = {x0, y0, x1 - x0, y1 - y0};
      EXPECT_EQ(decoded.areas[i], area) << "frame " << i + 1;
    }
  }
}

// One pass of a wave is longer than a sequence: 128 frames a scene in "fala1", so 1,408 for
// twelve scenes. import takes one frame in N of it, each as the preview showed it.
TEST_F(CliTest, AWholePassOfAWaveImportsAsOneFrameInN) {
  std::vector<CellColour> cells;
  for (int i = 0; i < 12 * kCellsPerScene; ++i) cells.push_back(kPalette[(i * 5 + i / 3) % 8]);
  ASSERT_TRUE(SaveSequenceFile(File("twelve.sqx"), 12, EffectWave1, cells));
  ExpectCases(
      {
          {{"render", "twelve.sqx", "--scale", "1", "-o", "pass.gif"}, 0, "", ""},
          {{"import", "pass.gif", "-o", "x.sqx"},
           1,
           "",
           "pass.gif: refused: more than the 99 frames a sequence can hold (--every N takes one "
           "frame in N)\n"},
          {{"import", "pass.gif", "--every", "14", "-o", "x.sqx"},
           1,
           "",
           "more than the 99 frames a sequence can hold, taking one frame in 14\n"},
          {{"import", "pass.gif", "--every", "15", "-o", "every15.sqx"}, 0, "", ""},
          {{"import", "pass.gif", "--every", "0", "-o", "x.sqx"}, 2, "", "--every"},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  EXPECT_FALSE(std::filesystem::exists(File("x.sqx")));
  const std::vector<Scene> preview = PreviewFrames(File("twelve.sqx"), 1408);
  std::vector<CellColour> taken;
  for (int frame = 15; frame <= 1408; frame += 15) {
    taken.insert(taken.end(), preview[frame - 1].begin(), preview[frame - 1].end());
  }
  EXPECT_EQ(ReadAll(File("every15.sqx")), FormatSequenceFile(93, EffectNormal, taken));
}

TEST_F(CliTest, AFailedWriteToStandardOutputIsAnOutputNotWritten) {
  ASSERT_TRUE(std::filesystem::is_character_file("/dev/full"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"image", "show.prj", "--hex"},
        std::vector<std::string>{"check", "song.sqx", "show.prj"}}) {
    SCOPED_TRACE(args[0]);
    const CliRun run = Wait(Start(args, "/dev/full"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "standard output: could not be written\n");
  }
}

// The reader takes any effect mode; the window's preview stands still in one it has no step
// for, so one pass is one picture, not a render that never meets the sequence's end.
TEST_F(CliTest, RenderOfASequenceInAnUnknownModeIsOnePass) {
  ASSERT_TRUE(SaveSequenceFile(File("odd.sqx"), 3, 7, sequence));
  ExpectCases(
      {
          {{"check", "odd.sqx"}, 0, "odd.sqx: sequence, 3 scenes, mode unknown mode 7\n", ""},
          {{"render", "odd.sqx", "--scale", "1", "-o", "odd.gif"}, 0, "", ""},
          {{"import", "odd.gif", "-o", "back.sqx"}, 0, "", ""},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  EXPECT_EQ(ReadAll(File("back.sqx")),
            FormatSequenceFile(1, EffectNormal, std::span(sequence).first(kCellsPerScene)));
}

cli::GifSink AppendTo(std::string& bytes) {
  return [&bytes](std::string_view more) {
    bytes += more;
    return true;
  };
}

// A picture of 8 x 16 blocks of block x block pixels, each block of its own colour.
std::vector<CellColour> WriteBlockGif(const std::string& path, int block, int frames) {
  std::string bytes;
  cli::GifEncoder gif(8 * block, 16 * block, 10, AppendTo(bytes));
  std::vector<CellColour> cells;
  for (int f = 0; f < frames; ++f) {
    cli::Picture picture{8 * block, 16 * block, {}};
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        picture.pixels.push_back(static_cast<CellColour>(0x010101 * f + 0x100 * (x / block) +
                                                         0x10000 * (y / block) + 3));
      }
    }
    EXPECT_TRUE(gif.Add(picture));
    Scene scene{};
    for (int tube = 1; tube <= kTubes; ++tube) {
      for (int column = 0; column < kCellsPerTube; ++column) {
        scene[CellIndexAt(tube, column)] =
            picture.At(column * block + block / 2, (tube - 1) * block + block / 2);
      }
    }
    cells.insert(cells.end(), scene.begin(), scene.end());
  }
  EXPECT_TRUE(gif.Finish());
  std::ofstream(path, std::ios::binary) << bytes;
  return cells;
}

// Render writes each frame as it is made: what is held does not grow with the frame count,
// and a terminal sees how far it has come.
TEST_F(CliTest, RenderWritesFramesAsTheyAreMadeAndShowsProgressOnATerminal) {
  std::string bytes;
  cli::GifEncoder gif(8, 16, 10, AppendTo(bytes));
  std::size_t before = bytes.size();
  for (int frame = 0; frame < 20; ++frame) {
    cli::Picture picture{8, 16, std::vector<CellColour>(128, static_cast<CellColour>(frame * 99))};
    ASSERT_TRUE(gif.Add(picture));
    EXPECT_GT(bytes.size(), before) << "frame " << frame << " was kept back";
    before = bytes.size();
  }
  EXPECT_TRUE(gif.Finish());

  std::ostringstream out, err;
  cli::RenderRequest request{File("song.sqx"), File("song.gif"), 1, 40};
  EXPECT_EQ(cli::RenderSequence(request, out, err, /*terminal=*/true), 0);
  EXPECT_EQ(err.str(), "");
  EXPECT_NE(out.str().find("\r[####################....................] 50 %"), std::string::npos)
      << out.str();
  EXPECT_TRUE(out.str().ends_with("\r[########################################] 100 %\n"))
      << out.str();
  request.frames.reset();
  std::ostringstream onePass;
  EXPECT_EQ(cli::RenderSequence(request, onePass, err, /*terminal=*/true), 0);
  EXPECT_TRUE(onePass.str().ends_with("] 100 %\n")) << onePass.str();
  EXPECT_NE(onePass.str().find("] 33 %"), std::string::npos) << onePass.str();
}

// The save renames a new file over its target: a device or pipe named as the output would be
// replaced by a file, so it is refused and left as it is.
TEST_F(CliTest, AnOutputThatIsNotARegularFileIsRefusedAndKept) {
  ASSERT_EQ(::mkfifo(File("pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink(File("pipe").c_str(), File("link").c_str()), 0);
  ASSERT_EQ(Cli({"render", "song.sqx", "--scale", "1", "-o", "song.gif"}).exitCode, 0);
  const std::string refused = ": refused: the output is not a regular file";
  ExpectCases(
      {
          {{"image", "show.prj", "-o", "pipe"}, 1, "", "pipe" + refused},
          {{"image", "show.prj", "--hex", "-o", "link"}, 1, "", "link" + refused},
          {{"listing", "show.prj", "-o", "pipe"}, 1, "", "pipe" + refused},
          {{"export", "song.sqx", "--project", "show.prj", "-o", "pipe"}, 1, "", "pipe" + refused},
          {{"render", "song.sqx", "-o", "pipe"}, 1, "", "pipe" + refused},
          {{"import", "song.gif", "-o", "link"}, 1, "", "link" + refused},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  EXPECT_TRUE(std::filesystem::is_fifo(File("pipe")));
  EXPECT_TRUE(std::filesystem::is_symlink(File("link")));
}

TEST_F(CliTest, ImportScalesALargerPictureDownTakesStandingTubesAndRefusesASmallerOne) {
  const std::vector<CellColour> cells = WriteBlockGif(File("blocks.gif"), 10, 2);
  // 16 x 8, every pixel its own colour: tube x + 1, the cell at window column y.
  cli::Picture standing{16, 8, {}};
  Scene standingScene{};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      standing.pixels.push_back(static_cast<CellColour>(0x100 * x + y + 1));
      standingScene[CellIndexAt(x + 1, y)] = standing.pixels.back();
    }
  }
  for (const auto& [name, picture] :
       {std::pair{"standing.gif", standing},
        std::pair{"small.gif", cli::Picture{8, 8, std::vector<CellColour>(64, colour::Red)}}}) {
    std::string bytes;
    cli::GifEncoder gif(picture.width, picture.height, 10, AppendTo(bytes));
    EXPECT_TRUE(gif.Add(picture));
    EXPECT_TRUE(gif.Finish());
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  ExpectCases(
      {
          {{"import", "blocks.gif", "--mode", "fala1", "-o", "blocks.sqx"}, 0, "", ""},
          {{"import", "standing.gif", "-o", "standing.sqx"}, 0, "", ""},
          {{"import", "small.gif", "-o", "x.sqx"},
           1,
           "",
           "small.gif: refused: a picture of 8 x 8 pixels is smaller"},
      },
      [this](const std::vector<std::string>& args) { return Cli(args); });
  EXPECT_EQ(ReadAll(File("blocks.sqx")), FormatSequenceFile(2, EffectWave1, cells));
  EXPECT_EQ(ReadAll(File("standing.sqx")), FormatSequenceFile(1, EffectNormal, standingScene));
  EXPECT_FALSE(std::filesystem::exists(File("x.sqx")));
}

// A GIF put together byte by byte: a screen with a table of two colours, black and white.
std::string GifScreen(int width, int height) {
  const auto word = [](int value) { return std::string{char(value & 0xFF), char(value >> 8)}; };
  std::string bytes = "GIF89a" + word(width) + word(height);
  bytes += {'\x80', '\0', '\0', '\0', '\0', '\0', '\xFF', '\xFF', '\xFF'};
  return bytes;
}

// A frame of one white pixel, whatever size the frame claims: the data ends after it.
std::string GifFrame(int left, int top, int width, int height) {
  const auto word = [](int value) { return std::string{char(value & 0xFF), char(value >> 8)}; };
  std::string bytes = "," + word(left) + word(top) + word(width) + word(height);
  bytes += {'\0', '\x02', '\x02', '\x4C', '\x01', '\0'};
  return bytes;
}

std::string GifFrames(int count, int left, int top) {
  std::string frames;
  for (int i = 0; i < count; ++i) frames += GifFrame(left, top, 1, 1);
  return frames;
}

// What a few bytes claim is checked before anything is decoded, and a frame costs no more
// than the pixels the tubes read of it, whatever the screen: no crash, no wait, no gigabytes.
TEST_F(CliTest, HostileGifsAreRefusedOrReadInLittleMemory) {
  ASSERT_EQ(::mkfifo(File("pipe.gif").c_str(), 0600), 0);
  Write("header.gif", "GIF89a");
  Write("huge.gif", GifScreen(16, 8) + GifFrame(0, 0, 65535, 65535) + std::string(2000, '\0'));
  Write("wide.gif", GifScreen(16, 8) + GifFrame(0, 0, 40000, 30000) + ";");
  Write("screen.gif", GifScreen(65535, 65535) + GifFrames(1, 0, 0) + ";");
  Write("hundred.gif", GifScreen(16, 8) + GifFrames(100, 0, 0) + ";");
  Write("cut.gif", GifScreen(16, 8) + GifFrames(3, 0, 0));
  // Tiny frames on the largest screen, each on the pixel read for tube 1's first cell.
  Write("twenty.gif", GifScreen(4096, 4096) + GifFrames(20, 256, 128) + ";");
  Write("ninety-nine.gif", GifScreen(4096, 4096) + GifFrames(99, 256, 128) + ";");
  const std::vector<Case> cases = {
      {{"import", "pipe.gif", "-o", "x.sqx"}, 1, "", "pipe.gif: refused: the GIF is not a regular"},
      {{"import", "header.gif", "-o", "x.sqx"}, 1, "", "header.gif: refused: "},
      {{"import", "huge.gif", "-o", "x.sqx"},
       1,
       "",
       "huge.gif: refused: frame 1 of 65535 x 65535 pixels is too large"},
      {{"import", "wide.gif", "-o", "x.sqx"},
       1,
       "",
       "wide.gif: refused: frame 1 of 40000 x 30000 pixels is too large"},
      {{"import", "screen.gif", "-o", "x.sqx"},
       1,
       "",
       "screen.gif: refused: a screen of 65535 x 65535 pixels is too large"},
      {{"import", "hundred.gif", "-o", "x.sqx"}, 1, "", "more than the 99 frames"},
      {{"import", "cut.gif", "-o", "x.sqx"}, 1, "", "cut.gif: refused: "},
      {{"import", "twenty.gif", "-o", "twenty.sqx"}, 0, "", ""},
      {{"import", "ninety-nine.gif", "-o", "ninety-nine.sqx"}, 0, "", ""},
  };
  ExpectCases(cases, [this](const std::vector<std::string>& args) {
    const CliRun run = Cli(args);
    EXPECT_LT(run.maxRssKb, 200 * 1024);
    return run;
  });
  EXPECT_FALSE(std::filesystem::exists(File("x.sqx")));
  Scene white{};
  white[0] = 0xFFFFFF;
  std::vector<CellColour> cells;
  for (int i = 0; i < 99; ++i) cells.insert(cells.end(), white.begin(), white.end());
  EXPECT_EQ(ReadAll(File("ninety-nine.sqx")), FormatSequenceFile(99, EffectNormal, cells));
  cells.resize(20 * kCellsPerScene);
  EXPECT_EQ(ReadAll(File("twenty.sqx")), FormatSequenceFile(20, EffectNormal, cells));
}

class ProgramTest : public CliTest {
 protected:
  static std::vector<std::string> ProgramArgs(const std::string& controller,
                                              const std::vector<std::string>& args) {
    std::vector<std::string> all = {"program", "show.prj", "--adapter", "virtual:" + controller};
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
  CliRun Program(const std::vector<std::string>& args) const {
    return Cli(ProgramArgs(File("controller"), args));
  }
  std::string Report() const { return ReadAll(File("controller/report.txt")); }
};

TEST_F(ProgramTest, StandardProgrammerSendsTheImageThroughTheVirtualController) {
  const CliRun run = Program({"--programmer", "standard", "--address", "7", "--solo-auto", "3"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // Not a terminal: plain percentage lines up to the end.
  EXPECT_NE(run.out.find("\n50 %\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("100 %\ntransfer complete\n"), std::string::npos) << run.out;
  EXPECT_NE(Report().find("transmisja kompletna"), std::string::npos) << Report();
  EXPECT_NE(Report().find("Adres docelowy: 7\nProgram solo: 58, prędkość: 19, liczba tub: 16"),
            std::string::npos)
      << Report();
  EXPECT_EQ(ReadAll(File("controller/image.bin")), ExpectedImage());
}

TEST_F(ProgramTest, ProgrammerUnpluggedDuringTheTransferIsADeviceLost) {
  const pid_t pid = Start(ProgramArgs(File("controller"), {"--programmer", "usb"}));
  ASSERT_NE(pid, 0);
  // Unplugged once a tenth has gone.
  for (int wait = 0; wait < 3000 && ReadAll(File(".out")).find("\n10 %") == std::string::npos;
       ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Write("controller/unplug", "");
  const CliRun run = Wait(pid);
  EXPECT_EQ(run.exitCode, 3) << run.out;
  EXPECT_TRUE(run.err.starts_with("programmer lost at ")) << run.err;
  EXPECT_NE(run.err.find(" packets sent): the programmer went away"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("transfer complete"), std::string::npos);
}

// Ctrl+C or SIGTERM in the middle of a transfer stops it as a lost programmer does: the
// adapter closed between packets, the controller's report incomplete, and the shell's code.
TEST_F(ProgramTest, ASignalStopsTheTransferAndSaysHowFarItCame) {
  const struct {
    int signal;
    int exitCode;
    const char* name;
  } cases[] = {{SIGINT, 130, "SIGINT"}, {SIGTERM, 143, "SIGTERM"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(File("controller"));
    const pid_t pid = Start(ProgramArgs(File("controller"), {"--programmer", "usb"}));
    ASSERT_NE(pid, 0);
    // Sent once a tenth has gone.
    for (int wait = 0; wait < 3000 && ReadAll(File(".out")).find("\n10 %") == std::string::npos;
         ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(::kill(pid, c.signal), 0);
    const CliRun run = Wait(pid);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_TRUE(run.err.starts_with("interrupted by " + std::string(c.name) + " at ")) << run.err;
    EXPECT_NE(run.err.find(" packets sent): the transfer was stopped"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.find("transfer complete"), std::string::npos) << run.out;
    EXPECT_NE(Report().find("Wynik: transmisja niezakończona"), std::string::npos) << Report();
    std::istringstream log(ReadAll(File("controller/wire.log")));
    std::string line, last;
    while (std::getline(log, line)) last = line;
    EXPECT_TRUE(last.starts_with("FT_Close(")) << last;
  }
}

// The virtual controller's report is written in the session's language, as the windows
// choose theirs: LUMORA_LANG, else the user's languages, else Polish.
TEST_F(ProgramTest, TheReportIsInTheSessionsLanguage) {
  const std::string english = "Outcome: transfer complete, image checksum matches\n";
  const std::string polish = "Wynik: transmisja kompletna, suma kontrolna obrazu zgodna\n";
  const struct {
    std::vector<std::string> locale;
    const std::string& outcome;
  } cases[] = {
      {{"LANG=en_US.UTF-8"}, english},
      {{"LC_ALL=en_GB.UTF-8", "LANG=pl_PL.UTF-8"}, english},
      {{"LANGUAGE=de:en", "LANG=pl_PL.UTF-8"}, english},
      {{"LUMORA_LANG=pl", "LANG=en_US.UTF-8"}, polish},
      {{"LUMORA_LANG=en", "LANG=C"}, english},
      {{"LANG=C.UTF-8"}, polish},
      {{"LANG=pl_PL.UTF-8"}, polish},
      {{}, polish},
  };
  for (const auto& c : cases) {
    std::string locale;
    for (const std::string& variable : c.locale) locale += variable + " ";
    SCOPED_TRACE(locale);
    const CliRun run =
        Wait(Start(ProgramArgs(File("controller"), {"--programmer", "standard"}), "", c.locale));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(Report().find(c.outcome), std::string::npos) << Report();
  }
}

// A line nobody reads takes the first pages and then no more: the transfer is a device
// lost, said to be a stalled line, never a transfer complete nor a wait for the time limit.
TEST_F(ProgramTest, AStalledLineIsADeviceLost) {
  PtyPair pty;  // whose master nobody reads
  for (const char* programmer : {"usb", "standard"}) {
    const auto start = std::chrono::steady_clock::now();
    const CliRun run =
        Cli({"program", "show.prj", "--programmer", programmer, "--adapter", "tty:" + pty.Path()});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << programmer;
    EXPECT_EQ(run.exitCode, 3) << programmer << ": " << run.err;
    EXPECT_TRUE(run.err.starts_with("programmer lost at ")) << programmer << ": " << run.err;
    EXPECT_NE(run.err.find(" packets sent): the line stalled"), std::string::npos)
        << programmer << ": " << run.err;
    EXPECT_EQ(run.out.find("transfer complete"), std::string::npos) << programmer;
  }
}

TEST_F(ProgramTest, UsbProgrammerCompletes) {
  const CliRun run =
      Program({"--programmer", "usb", "--solo-program", "3", "--speed", "5", "--tubes", "12"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(Report().find("transmisja kompletna"), std::string::npos) << Report();
  EXPECT_NE(Report().find("(wszystkie sterowniki)\nProgram solo: 2, prędkość: 4, liczba tub: 12"),
            std::string::npos)
      << Report();
}

TEST_F(ProgramTest, RefusedInputAndAMissingProgrammerHaveTheirOwnExitCodes) {
  std::filesystem::create_directory(File("controller"));
  Write("controller/unplug", "");
  ExpectCases(
      {
          {{"--programmer", "standard"}, 3, "", "no programmer found: plug the programmer in"},
          {{"--programmer", "usb"}, 3, "", "no programmer found"},
          {{"--programmer", "standard", "--table", "gone.tab"}, 1, "", "gone.tab: refused"},
          {{"--programmer", "serial"}, 2, "", "--programmer"},
          {{"--programmer", "usb", "--solo-program", "2", "--solo-auto", "1"}, 2, "", "excludes"},
          {{"--programmer", "usb", "--address", "505"}, 2, "", "--address"},
          {{"--programmer", "usb", "--tubes", "0"}, 2, "", "--tubes"},
      },
      [this](const std::vector<std::string>& args) { return Program(args); });
  EXPECT_EQ(Report().find("transmisja kompletna"), std::string::npos) << Report();
  const CliRun wrongAdapter =
      Cli({"program", "show.prj", "--programmer", "usb", "--adapter", "carrier-pigeon"});
  EXPECT_EQ(wrongAdapter.exitCode, 2);
  EXPECT_EQ(wrongAdapter.err,
            "--adapter carrier-pigeon: unknown adapter; give usb, virtual, virtual:DIR or "
            "tty:DEVICE\n");
  const CliRun folderIsAFile =
      Cli({"program", "show.prj", "--programmer", "usb", "--adapter", "virtual:show.prj/x"});
  EXPECT_EQ(folderIsAFile.exitCode, 2);
  EXPECT_EQ(folderIsAFile.err,
            "--adapter virtual:show.prj/x: cannot make the folder \"show.prj/x\"\n");
}

}  // namespace
}  // namespace lumora::testing
