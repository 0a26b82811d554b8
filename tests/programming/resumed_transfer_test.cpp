// Closing the window in the middle of a Brightwave USB transfer and opening it again: the
// transfer goes on from its page only with the image it started with; with another image
// (a program changed and "Wyślij do sterownika" pressed again) it starts again from page 0,
// so the controller never receives the first pages of one image and the rest of another.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "programming/virtual/virtual_adapter.h"
#include "support/temp_folder.h"
#include "window_fixture.h"

namespace lumora::testing {
namespace {

constexpr int kSentBeforeClosing = 10;

// An entry in the program tables at the start of the image, sent in the first page.
constexpr int kProgramEntry = 5;

struct ImageChange {
  const char* Name;
  std::function<void(ControllerImageArray&)> Apply;
  int NextPage;  // the page the first tick after reopening sends
};

void PrintTo(const ImageChange& change, std::ostream* out) {
  *out << change.Name;
}

const ImageChange kImageChanges[] = {
    {"Unchanged", [](ControllerImageArray&) {}, kSentBeforeClosing},
    // Only the low byte of an entry is sent: the controller would receive the same image.
    {"AboveTheLowByte", [](ControllerImageArray& image) { image[kProgramEntry] += 0x100; },
     kSentBeforeClosing},
    {"ProgramInASentPage", [](ControllerImageArray& image) { image[kProgramEntry] = 7; }, 0},
    {"PageNotYetSent", [](ControllerImageArray& image) { image[kTransferBytes - 1] = 7; }, 0},
};

class ReopenedWithImage : public ProgrammingWindowTest,
                          public ::testing::WithParamInterface<ImageChange> {};

TEST_P(ReopenedWithImage, ResumesOnlyWithTheImageItStartedWith) {
  Activate();
  Press();
  Ticks(kSentBeforeClosing);
  Close();
  GetParam().Apply(image);
  Activate();
  Ticks(1);
  EXPECT_EQ(UsbPages().back(), GetParam().NextPage);
  EXPECT_EQ(Progress().back(), GetParam().NextPage + 1);
  EXPECT_EQ(model.State(), TransferState::Running);
}

INSTANTIATE_TEST_SUITE_P(ImageChanges, ReopenedWithImage, ::testing::ValuesIn(kImageChanges),
                         [](const auto& info) { return std::string(info.param.Name); });

// The whole road through the virtual controller, whose report the user reads.
TEST(ResumedTransferEndToEnd, AChangedProgramReachesTheControllerAsOneWholeImage) {
  const TempFolder folder;
  WindowHarness<VirtualAdapter> window(folder.Path());
  for (int i = 0; i < kTransferBytes; ++i) window.image[i] = (i * 131 + i / 256) & 0xFF;

  window.Activate();
  window.Press();
  window.Ticks(100);
  window.Close();
  window.image[kProgramEntry] ^= 0x5A;  // a program changed, then sent again
  window.Activate();
  window.Ticks(kTransferPackets + 1);
  EXPECT_EQ(window.model.State(), TransferState::Finished);
  window.Close();

  const ReceivedTransfer received = window.adapter.Received();
  EXPECT_EQ(received.Outcome, TransferOutcome::Complete);
  EXPECT_EQ(received.Image, SentImage(window.image));
  const std::string report = ReadBytes(folder.File("report.txt"));
  for (const char* line :
       {"Transmisje kompletne: 1\n", "Strony: 223 z 223\n", "Sumy kontrolne obrazu: dobre 1, złe 0",
        "Wynik: transmisja kompletna, suma kontrolna obrazu zgodna\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\nin:\n" << report;
  }
  EXPECT_TRUE(window.Errors().empty());
  EXPECT_EQ(window.Progress().back(), 0);
}

}  // namespace
}  // namespace lumora::testing
