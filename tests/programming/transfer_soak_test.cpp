// A long random use of the programming window against the virtual programmer and controller:
// a thread stands in for the user-interface thread, the real multimedia timer delivers the
// ticks on its own thread, and every transfer the controller completes is checked whole.
// LUMORA_SOAK_SECONDS sets a longer run than the 30 s of the normal test run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fake_view.h"
#include "programming/crc16.h"
#include "programming/programming_window_model.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/wait_for.h"
#include "timer/mm_timer.h"
#include "ui_thread.h"

namespace lumora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultSoakSeconds = 30;
// One seed, so a failing run repeats the same actions in the same order.
constexpr std::uint32_t kSeed = 0x4C756D6F;
// Long enough that only a stuck state machine misses it: a USB transfer takes 11.15 s.
constexpr auto kStuckAfter = 60s;

std::optional<int> SoakSeconds() {
  const char* text = std::getenv("LUMORA_SOAK_SECONDS");
  if (text == nullptr || *text == '\0') return kDefaultSoakSeconds;
  const std::string_view digits(text);
  int seconds = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
  if (error != std::errc{} || end != digits.data() + digits.size() || seconds <= 0) {
    return std::nullopt;
  }
  return seconds;
}

// Entries carry bits above the low byte, which must not travel, and their low bytes differ
// from page to page, so a page sent twice or in the wrong place shows in the image.
ControllerImageArray PatternImage() {
  ControllerImageArray image{};
  for (std::size_t i = 0; i < image.size(); ++i) {
    const std::uint32_t mixed = static_cast<std::uint32_t>(i + 1) * 2654435761u;
    image[i] = static_cast<std::int32_t>(mixed ^ (mixed >> 13));
  }
  return image;
}

int KindIndex(ProgrammerKind kind) {
  return kind == ProgrammerKind::UsbProgrammer ? 0 : 1;
}

// What the virtual controller holds, looked at after every frame it receives (a transfer
// may end and the next begin within one standard burst), and the ticks of each programmer.
// Settings may change between packets, so only the checksums and the image are held to
// account. A completed transfer counts for the programmer that sent its final packet.
class ReceiverWatch {
 public:
  explicit ReceiverWatch(const ControllerImageArray& image)
      : expected_(SentImage(image)), expectedChecksum_(TransferCrc16(expected_)) {}

  void CountTick(ProgrammerKind kind) {
    std::lock_guard lock(mutex_);
    ++ticks_[KindIndex(kind)];
  }

  void AfterFrame(ProgrammerKind kind, const ReceivedTransfer& received) {
    std::lock_guard lock(mutex_);
    ++frames_;
    if (received.ForeignFrames != 0 || received.StrayWrites != 0) {
      Fault("the controller met a frame or write it could not read");
    }
    if (received.BadHeaders != 0 || received.BadPages != 0 || received.BadImages != 0) {
      Fault("bad checksums: header " + std::to_string(received.BadHeaders) + ", page " +
            std::to_string(received.BadPages) + ", image " + std::to_string(received.BadImages));
    }
    if (received.CutShort != 0 || received.BadPageNumbers != 0) {
      Fault("a packet cut short or with a page number out of range");
    }
    if (!received.Verdicts.empty() &&
        (!received.Verdicts.back().Stored || !received.Verdicts.back().AddressRepeated)) {
      Fault("packet " + std::to_string(received.Verdicts.back().Packet) +
            " not stored or its address bytes disagree");
    }
    if (received.CompletedTransfers == completed_) return;
    if (received.CompletedTransfers != completed_ + 1) Fault("two transfers in one frame");
    if (received.Outcome != TransferOutcome::Complete) Fault("completed but not whole");
    if (received.Image != expected_) Fault("the image received differs from the image sent");
    if (received.ImageChecksumSent != expectedChecksum_) Fault("wrong image checksum sent");
    completed_ = received.CompletedTransfers;
    ++completedBy_[KindIndex(kind)];
  }

  std::uint64_t Ticks(ProgrammerKind kind) const {
    std::lock_guard lock(mutex_);
    return ticks_[KindIndex(kind)];
  }
  std::uint32_t Completed() const {
    std::lock_guard lock(mutex_);
    return completed_;
  }
  std::uint32_t CompletedBy(ProgrammerKind kind) const {
    std::lock_guard lock(mutex_);
    return completedBy_[KindIndex(kind)];
  }
  // The first faults and how many there were in all.
  std::string Faults() const {
    std::lock_guard lock(mutex_);
    std::string text = std::to_string(faultCount_) + " faults";
    for (const std::string& fault : firstFaults_) text += "\n  " + fault;
    return text;
  }
  std::uint32_t FaultCount() const {
    std::lock_guard lock(mutex_);
    return faultCount_;
  }

 private:
  static constexpr std::size_t kFaultsKept = 10;

  void Fault(const std::string& fault) {
    ++faultCount_;
    if (firstFaults_.size() < kFaultsKept) {
      firstFaults_.push_back("frame " + std::to_string(frames_) + ": " + fault);
    }
  }

  const std::array<std::uint8_t, kTransferBytes> expected_;
  const std::uint16_t expectedChecksum_;
  mutable std::mutex mutex_;
  std::array<std::uint64_t, 2> ticks_{};
  std::uint64_t frames_ = 0;
  std::uint32_t completed_ = 0;
  std::array<std::uint32_t, 2> completedBy_{};
  std::uint32_t faultCount_ = 0;
  std::vector<std::string> firstFaults_;
};

// The virtual programmer and controller, with the watch looking in whenever a frame has
// gone out whole: after each USB block, and after the last slot write of a standard frame.
class WatchedAdapter final : public UsbAdapter {
 public:
  explicit WatchedAdapter(ReceiverWatch& watch) : watch_(watch) {}

  ReceivedTransfer Received() const { return adapter_.Received(); }

  FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                     std::uint32_t* bytesWritten) override {
    const FT_STATUS status = adapter_.FT_Write(handle, buffer, bytesToWrite, bytesWritten);
    if (status != FT_OK) return status;
    if (bytesToWrite == kUsbBlockSize) {
      watch_.AfterFrame(ProgrammerKind::UsbProgrammer, adapter_.Received());
    } else if (bytesToWrite == 1) {
      slotWrites_ = 0;  // the break or the start code
    } else if (++slotWrites_ == kStandardFrameSlots / kStandardSlotWriteSize) {
      watch_.AfterFrame(ProgrammerKind::StandardProgrammer, adapter_.Received());
    }
    return status;
  }
  FT_STATUS FT_Open(int deviceIndex, FT_HANDLE* handle) override {
    return adapter_.FT_Open(deviceIndex, handle);
  }
  FT_STATUS FT_Close(FT_HANDLE handle) override { return adapter_.FT_Close(handle); }
  FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                    std::uint32_t* bytesReturned) override {
    return adapter_.FT_Read(handle, buffer, bytesToRead, bytesReturned);
  }
  FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                      std::uint8_t stopBits, std::uint8_t parity) override {
    return adapter_.FT_SetDataCharacteristics(handle, wordLength, stopBits, parity);
  }
  FT_STATUS FT_ClrDtr(FT_HANDLE handle) override { return adapter_.FT_ClrDtr(handle); }
  FT_STATUS FT_SetRts(FT_HANDLE handle) override { return adapter_.FT_SetRts(handle); }
  FT_STATUS FT_ClrRts(FT_HANDLE handle) override { return adapter_.FT_ClrRts(handle); }
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                           std::uint32_t writeTimeoutMs) override {
    return adapter_.FT_SetTimeouts(handle, readTimeoutMs, writeTimeoutMs);
  }
  FT_STATUS FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) override {
    return adapter_.FT_SetDivisor(handle, divisor);
  }

 private:
  VirtualAdapter adapter_;
  ReceiverWatch& watch_;
  // Slot writes since the start code; only the timer's thread sends standard frames.
  int slotWrites_ = 0;
};

enum class Action {
  Close,
  ChooseUsb,
  ChooseStandard,
  AllControllers,
  OneAddress,
  HoldAddressArrow,
  ChooseProgram,
  ChooseAuto,
  StepProgramOrAuto,
  StepSpeed,
  StepTubes,
  Press,
  Watch,
};
// How often the user does each, in the order above. At about ten actions a second the window
// closes every 15 s or so and "Standard programator" comes every 8 s, which leaves a USB
// transfer (11 s of ticks) time to finish now and then; the rest go out in a standard burst.
constexpr std::array<int, 13> kActionWeights = {1, 1, 2, 6, 6, 20, 6, 6, 25, 25, 25, 40, 20};

// The user at the window. Every control is handled on the user-interface thread; the random
// choices are drawn here, before, so the same seed gives the same actions. A disabled control
// ignores the click, as on screen.
class SoakUser {
 public:
  SoakUser(ProgrammingWindowModel& model, FakeView& view, UiThread& ui)
      : model_(model), view_(view), ui_(ui) {}

  int Actions() const { return actions_; }

  // One action, then the pause a hand on the mouse leaves.
  void Act() {
    ++actions_;
    if (!open_) {
      Pause(0, 500);
      ui_.Run([&] { Open(); });
      return;
    }
    switch (Pick()) {
      case Action::Close:
        ui_.Run([&] {
          model_.Close();
          open_ = false;
        });
        break;
      case Action::ChooseUsb:
        ui_.Run([&] { model_.ChooseUsbProgrammer(); });
        break;
      case Action::ChooseStandard:
        ui_.Run([&] { model_.ChooseStandardProgrammer(); });
        break;
      case Action::AllControllers:
        ui_.Run([&] { model_.ChooseAllControllers(); });
        break;
      case Action::OneAddress:
        ui_.Run([&] { model_.ChooseAddress(); });
        break;
      case Action::HoldAddressArrow:
        HoldAddressArrow();
        break;
      case Action::ChooseProgram:
        ui_.Run([&] { model_.ChooseProgram(); });
        break;
      case Action::ChooseAuto:
        ui_.Run([&] { model_.ChooseAuto(); });
        break;
      case Action::StepProgramOrAuto: {
        const int delta = Delta();
        ui_.Run([&] {
          if (Enabled(Spinner::Program)) model_.SetProgram(Step(Spinner::Program, delta));
          if (Enabled(Spinner::Auto)) model_.SetAutoProgram(Step(Spinner::Auto, delta));
        });
        break;
      }
      case Action::StepSpeed: {
        const int delta = Delta();
        ui_.Run([&] { model_.SetSpeed(Step(Spinner::Speed, delta)); });
        break;
      }
      case Action::StepTubes: {
        const int delta = Delta();
        ui_.Run([&] { model_.SetTubeCount(Step(Spinner::Tubes, delta)); });
        break;
      }
      case Action::Press:
        ui_.Run([&] {
          if (view_.ProgramButtonEnabled.value_or(false)) model_.StartTransfer();
        });
        break;
      case Action::Watch:
        Pause(100, 1000);
        break;
    }
    Pause(0, 40);
  }

  // Shows the window if it is hidden and chooses "Brightwave USB".
  void OpenWithUsbProgrammer() {
    ui_.Run([&] {
      if (!open_) {
        Open();
      } else {
        model_.ChooseUsbProgrammer();
      }
    });
  }

 private:
  void Open() {
    model_.Open();
    open_ = true;
  }

  Action Pick() {
    int left = static_cast<int>(random_() % kTotalWeight);
    for (std::size_t action = 0; action < kActionWeights.size(); ++action) {
      if (left < kActionWeights[action]) return static_cast<Action>(action);
      left -= kActionWeights[action];
    }
    return Action::Watch;
  }

  int Delta() { return random_() % 2 == 0 ? -1 : 1; }

  void Pause(int minMs, int maxMs) {
    const auto ms = minMs + static_cast<int>(random_() % (maxMs - minMs + 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

  // Held down, the address arrow repeats at the step the window sets, then is released.
  void HoldAddressArrow() {
    const int delta = Delta();
    const int repeats = 1 + static_cast<int>(random_() % 8);
    for (int repeat = 0; repeat < repeats; ++repeat) {
      ui_.Run([&] {
        if (Enabled(Spinner::Address)) {
          model_.SetAddress(Step(Spinner::Address, delta * view_.AddressStep));
        }
      });
      Pause(0, 10);
    }
    ui_.Run([&] {
      if (Enabled(Spinner::Address)) model_.ReleaseAddressSpinner();
    });
  }

  // The spinners start enabled unless the window disabled them.
  bool Enabled(Spinner spinner) const {
    return view_.SpinnerEnabled[static_cast<int>(spinner)].value_or(true);
  }

  // Moves a spinner, which stops at its ends, and returns its new position.
  int Step(Spinner spinner, int delta) {
    const SpinnerRange& range = kSpinnerRanges[static_cast<int>(spinner)];
    int& position = positions_[static_cast<int>(spinner)];
    position = std::clamp(position + delta, range.Min, range.Max);
    return position;
  }

  static constexpr int kTotalWeight = [] {
    int total = 0;
    for (int weight : kActionWeights) total += weight;
    return total;
  }();

  ProgrammingWindowModel& model_;
  FakeView& view_;
  UiThread& ui_;
  std::mt19937 random_{kSeed};
  std::array<int, kSpinnerCount> positions_ = {kSpinnerRanges[0].Initial, kSpinnerRanges[1].Initial,
                                               kSpinnerRanges[2].Initial, kSpinnerRanges[3].Initial,
                                               kSpinnerRanges[4].Initial};
  bool open_ = false;
  int actions_ = 0;
};

// The real timer, each of the window's ticks counted for the programmer it ran for.
class CountedTimer : public Ticker {
 public:
  CountedTimer(ReceiverWatch& watch, std::function<ProgrammerKind()> kind)
      : watch_(watch), kind_(std::move(kind)) {}

  void Start(int periodMs, Tick tick) override {
    timer_.Start(periodMs, [this, tick = std::move(tick)] {
      const ProgrammerKind kind = kind_();
      tick();
      watch_.CountTick(kind);
    });
  }
  void Stop() override { timer_.Stop(); }

 private:
  ReceiverWatch& watch_;
  const std::function<ProgrammerKind()> kind_;
  TMMTimer timer_;
};

class TransferSoakTest : public ::testing::Test {
 protected:
  TransferSoakTest() {
    ui.Run([&] {
      model.FormCreate();
      model.HandOver(image);
    });
  }
  // The ticks stop and their posted updates run before anything they use is gone.
  ~TransferSoakTest() override {
    ui.Run([&] { model.Close(); });
    ui.Run([] {});
  }

  const ControllerImageArray image = PatternImage();
  ReceiverWatch watch{image};
  WatchedAdapter adapter{watch};
  CountedTimer timer{watch, [this] { return model.Settings().Kind(); }};
  UiThread ui;
  FakeView view{ui};
  FakeMessages messages{ui};
  ProgrammingWindowModel model{adapter, timer, view, messages};
};

TEST_F(TransferSoakTest, RandomUseKeepsEveryTransferWholeAndNeverSticks) {
  const std::optional<int> seconds = SoakSeconds();
  ASSERT_TRUE(seconds) << "LUMORA_SOAK_SECONDS must be a whole number of seconds above 0";
  SoakUser user(model, view, ui);
  const Clock::time_point end = Clock::now() + std::chrono::seconds(*seconds);
  while (Clock::now() < end) user.Act();

  // Still responsive: the transfer under way ends, and one more completes in its 223 ticks.
  user.OpenWithUsbProgrammer();
  ASSERT_TRUE(
      testing::WaitFor([&] { return model.State() != TransferState::Running; }, kStuckAfter))
      << "the transfer under way never finished";
  const std::uint32_t completedBefore = watch.Completed();
  ui.Run([&] { model.StartTransfer(); });
  const std::uint64_t ticksAtPress = watch.Ticks(ProgrammerKind::UsbProgrammer);
  ASSERT_TRUE(testing::WaitFor([&] { return watch.Completed() > completedBefore; }, kStuckAfter))
      << "the last transfer never completed";
  // A tick running at the press may still have sent nothing.
  EXPECT_LE(watch.Ticks(ProgrammerKind::UsbProgrammer) - ticksAtPress, kTransferPackets + 1u);
  // Nothing changed during the last transfer: its final packet carries the settings as set.
  const ProgrammingSettings& settings = model.Settings();
  const std::optional<ReceivedSettings> last = adapter.Received().LastSettings;
  ASSERT_TRUE(last);
  EXPECT_EQ(last->PageNumber, kFinalPageNumber);
  EXPECT_EQ(last->SoloProgram, settings.SoloProgram());
  EXPECT_EQ(last->SoloSpeed, settings.SoloSpeed());
  EXPECT_EQ(last->TubeCount, settings.TubeCount());
  EXPECT_EQ(last->TargetAddress, settings.TargetAddress());

  ui.Run([&] { model.Close(); });
  ui.Run([] {});  // the progress posted by the last ticks
  std::vector<int> progress;
  ui.Run([&] {
    progress = view.Progress;
    EXPECT_TRUE(messages.Errors.empty());
  });
  EXPECT_TRUE(std::all_of(progress.begin(), progress.end(),
                          [](int position) { return position >= 0 && position <= 223; }));
  // The bar drops to 0 at creation and once for each final packet prepared: every transfer
  // the window finished, the controller completed.
  EXPECT_EQ(static_cast<std::uint32_t>(std::count(progress.begin(), progress.end(), 0)),
            1 + watch.Completed());
  EXPECT_EQ(watch.FaultCount(), 0u) << watch.Faults();

  std::printf(
      "[ soak     ] %d s, seed %u, %d actions; ticks: USB %llu, standard %llu; "
      "transfers completed: USB %u, standard %u\n",
      *seconds, kSeed, user.Actions(),
      static_cast<unsigned long long>(watch.Ticks(ProgrammerKind::UsbProgrammer)),
      static_cast<unsigned long long>(watch.Ticks(ProgrammerKind::StandardProgrammer)),
      watch.CompletedBy(ProgrammerKind::UsbProgrammer),
      watch.CompletedBy(ProgrammerKind::StandardProgrammer));
}

}  // namespace
}  // namespace lumora::testing
