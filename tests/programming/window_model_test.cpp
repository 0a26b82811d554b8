#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <numeric>
#include <string>
#include <utility>

#include "timer/mm_timer.h"
#include "window_fixture.h"

namespace lumora::testing {
namespace {

using namespace std::chrono_literals;

const std::vector<AdapterCall> kUsbTick = {Call("FT_SetRts"), Call("FT_Write", {528}),
                                           Call("FT_Read", {272}), Call("FT_ClrRts")};

// The frames of a standard burst: checks each frame's calls and returns its 387 slots.
std::vector<std::vector<std::uint8_t>> StandardFrames(const std::vector<AdapterCall>& calls) {
  const std::vector<AdapterCall> head = {Call("FT_SetDivisor", {140}),
                                         Call("FT_Write", {1}),
                                         Call("FT_SetDivisor", {12}),
                                         Call("FT_ClrRts"),
                                         Call("FT_ClrDtr"),
                                         Call("FT_Write", {1})};
  std::vector<std::vector<std::uint8_t>> frames;
  std::size_t at = 0;
  while (at < calls.size()) {
    for (const AdapterCall& expected : head) {
      EXPECT_EQ(calls[at].Name, expected.Name);
      EXPECT_EQ(calls[at].Args, expected.Args);
      if (expected.Name == "FT_Write") {
        EXPECT_EQ(calls[at].Bytes, std::vector<std::uint8_t>{0});
      }
      ++at;
    }
    std::vector<std::uint8_t> slots;
    for (int write = 0; write < 129 && at < calls.size(); ++write, ++at) {
      EXPECT_EQ(calls[at].Name, "FT_Write");
      EXPECT_EQ(calls[at].Args, std::vector<std::uint32_t>{3});
      slots.insert(slots.end(), calls[at].Bytes.begin(), calls[at].Bytes.end());
    }
    frames.push_back(slots);
  }
  return frames;
}

std::vector<int> Counting(int first, int last) {
  std::vector<int> values(last - first + 1);
  std::iota(values.begin(), values.end(), first);
  return values;
}

TEST_F(ProgrammingWindowTest, CreationSetsTheWidgetsAndTheHandlersDriveThem) {
  OnUi([&] {
    EXPECT_EQ(view.SpinnerEnabled[0], false);  // address
    EXPECT_EQ(view.SpinnerEnabled[4], false);  // auto program
    EXPECT_EQ(view.Progress, std::vector<int>{0});
    model.ChooseAddress();
    EXPECT_EQ(view.SpinnerEnabled[0], true);
    model.SetAddress(2);
    model.SetAddress(3);
    EXPECT_EQ(view.AddressStep, 10);
    model.ReleaseAddressSpinner();
    EXPECT_EQ(view.AddressStep, 1);
    EXPECT_EQ(model.Settings().TargetAddress(), 3);
    model.ChooseAuto();
    EXPECT_EQ(view.SpinnerEnabled[4], true);
    EXPECT_EQ(view.SpinnerEnabled[1], false);
    model.SetAutoProgram(7);
    EXPECT_EQ(model.Settings().SoloProgram(), 62);
    model.ChooseProgram();
    EXPECT_EQ(view.SpinnerEnabled[1], true);
    EXPECT_EQ(view.SpinnerEnabled[4], false);
    model.SetSpeed(1);
    model.SetTubeCount(8);
    EXPECT_EQ(model.Settings().SoloSpeed(), 0);
    EXPECT_EQ(model.Settings().TubeCount(), 8);
    model.ChooseAllControllers();
    EXPECT_EQ(view.SpinnerEnabled[0], false);
    EXPECT_EQ(model.Settings().TargetAddress(), 0);
  });
  // Nothing ticks before the window is shown.
  EXPECT_FALSE(ticker.Running());
  EXPECT_EQ(ticker.Period(), 0);
}

TEST_F(ProgrammingWindowTest, ActivationWithoutAdapterReportsEachTime) {
  adapter.OpenStatus = FT_DEVICE_NOT_FOUND;
  Activate();
  EXPECT_EQ(adapter.Sequence(),
            (std::vector<AdapterCall>{Call("FT_Open", {0}, 0), Call("FT_ClrRts", {}, 0),
                                      Call("FT_ClrDtr", {}, 0)}));
  OnUi([&] { EXPECT_EQ(view.ProgramButtonEnabled, false); });
  EXPECT_FALSE(ticker.Running());
  OnUi([&] { model.Close(); });  // nothing open, nothing to close
  Activate();
  EXPECT_EQ(Errors(), (std::vector<std::string>(2, std::string(message::NoProgrammer))));
  EXPECT_TRUE(Writes(kUsbBlockSize).empty());

  adapter.OpenStatus = FT_OK;
  Activate();
  OnUi([&] { EXPECT_EQ(view.ProgramButtonEnabled, true); });
  EXPECT_EQ(Errors().size(), 2u);
}

// A present adapter the user may not open is told apart from a missing one: the first line
// stays the same, the next ones say why and where to read about it.
TEST_F(ProgrammingWindowTest, AnAdapterTheUserMayNotOpenIsReportedAsSuch) {
  const std::string denied =
      "Brak połączenia z programatorem\n"
      "Programator jest podłączony, ale brak uprawnień dostępu do niego.\n"
      "Zobacz rozdział „Programming from a normal user account” w pliku README.";
  const std::pair<FT_STATUS, std::string> cases[] = {
      {kAdapterAccessDenied, denied},
      {FT_DEVICE_NOT_FOUND, std::string(message::NoProgrammer)},
      {FT_DEVICE_NOT_OPENED, std::string(message::NoProgrammer)},
  };
  std::vector<std::string> expected;
  for (const auto& [status, text] : cases) {
    adapter.OpenStatus = status;
    Activate();
    expected.push_back(text);
    EXPECT_EQ(Errors(), expected) << status;
    OnUi([&] { EXPECT_EQ(view.ProgramButtonEnabled, false); });
    EXPECT_FALSE(ticker.Running());
  }
  EXPECT_TRUE(Writes(kUsbBlockSize).empty());
}

TEST_F(ProgrammingWindowTest, ActivationConfiguresTheUsbProgrammerAndIdleTicksExchange) {
  Activate();
  EXPECT_EQ(adapter.Sequence(),
            (std::vector<AdapterCall>{
                Call("FT_Open", {0}, 0), Call("FT_ClrRts"), Call("FT_ClrDtr"),
                Call("FT_SetDivisor", {1}), Call("FT_SetDataCharacteristics", {8, 0, 0}),
                Call("FT_SetTimeouts", {100, 100}), Call("FT_Write", {528})}));
  EXPECT_TRUE(ticker.Running());
  EXPECT_EQ(ticker.Period(), 50);
  OnUi([&] {
    EXPECT_EQ(view.ProgramButtonEnabled, true);
    EXPECT_EQ(view.UsbChecks, 1);
  });

  const std::size_t before = adapter.CallCount();
  Ticks(2);
  std::vector<AdapterCall> twoTicks = kUsbTick;
  twoTicks.insert(twoTicks.end(), kUsbTick.begin(), kUsbTick.end());
  EXPECT_EQ(adapter.Sequence(before), twoTicks);
  std::vector<std::uint8_t> empty(kUsbBlockSize, 0);
  empty[1] = 0x01;
  for (const auto& block : Writes(kUsbBlockSize)) EXPECT_EQ(block, empty);
}

TEST_F(ProgrammingWindowTest, WholeUsbTransferOnePacketPerTick) {
  Activate();
  Ticks(1);  // no transfer yet
  Press();
  Ticks(224);
  EXPECT_EQ(model.State(), TransferState::Finished);
  std::vector<int> pages = Counting(0, 221);
  pages.push_back(255);
  EXPECT_EQ(UsbPages(), pages);

  const auto blocks = Writes(kUsbBlockSize);
  ASSERT_EQ(blocks.size(), 1u + 1 + 223 + 1);
  const auto& first = blocks[2];
  EXPECT_EQ(first[1], 0x01);
  EXPECT_TRUE(std::all_of(first.begin() + 2, first.begin() + 16, [](auto b) { return b == 0; }));
  // Slots 17..28 with the settings at start and an all-zero image.
  EXPECT_EQ(std::vector(first.begin() + 32, first.begin() + 44),
            (std::vector<std::uint8_t>{0, 0, 19, 16, 0, 0, 0, 0, 0, 0, 0x21, 0x6C}));
  std::vector<std::uint8_t> empty(kUsbBlockSize, 0);
  empty[1] = 0x01;
  EXPECT_EQ(blocks.back(), empty);  // every other block carries all-zero slots

  std::vector<int> progress = {0};
  const auto climbing = Counting(1, 222);
  progress.insert(progress.end(), climbing.begin(), climbing.end());
  progress.push_back(0);
  EXPECT_EQ(Progress(), progress);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(ProgrammingWindowTest, PressingWhileRunningChangesNothingAndAfterFinishingRestarts) {
  Activate();
  Press();
  Ticks(5);
  Press();
  Ticks(218);
  EXPECT_EQ(model.State(), TransferState::Finished);
  Press();
  Ticks(2);
  std::vector<int> pages = Counting(0, 221);
  pages.push_back(255);
  pages.push_back(0);
  pages.push_back(1);
  EXPECT_EQ(UsbPages(), pages);
}

TEST_F(ProgrammingWindowTest, ClosingMidTransferThenReopeningContinues) {
  Activate();
  Press();
  Ticks(10);
  OnUi([&] { model.Close(); });
  EXPECT_EQ(adapter.Sequence().back(), Call("FT_Close"));
  EXPECT_FALSE(ticker.Running());
  const std::size_t closed = adapter.CallCount();
  Ticks(3);
  EXPECT_EQ(adapter.CallCount(), closed);

  Activate();
  Ticks(1);
  EXPECT_EQ(UsbPages().back(), 10);
  EXPECT_EQ(model.State(), TransferState::Running);
}

TEST_F(ProgrammingWindowTest, StandardProgrammerSendsTheWholeTransferAsOneBurst) {
  Activate();
  const std::size_t before = adapter.CallCount();
  OnUi([&] { model.ChooseStandardProgrammer(); });
  EXPECT_EQ(adapter.Sequence(before),
            (std::vector<AdapterCall>{Call("FT_SetDivisor", {12}),
                                      Call("FT_SetDataCharacteristics", {8, 2, 0}),
                                      Call("FT_SetTimeouts", {100, 100})}));
  EXPECT_EQ(ticker.Period(), 300);
  EXPECT_TRUE(ticker.Running());
  Ticks(2);  // nothing is sent while idle
  const std::size_t idle = adapter.CallCount();
  EXPECT_EQ(idle, before + 3);

  Press();
  Ticks(1);
  EXPECT_EQ(model.State(), TransferState::Finished);
  EXPECT_TRUE(ticker.Running());
  const auto calls = adapter.Calls();
  const auto frames = StandardFrames({calls.begin() + idle, calls.end()});
  ASSERT_EQ(frames.size(), 223u);
  for (int k = 0; k < 223; ++k) {
    ASSERT_EQ(frames[k].size(), 387u);
    EXPECT_TRUE(
        std::equal(ProgrammingSignature.begin(), ProgrammingSignature.end(), frames[k].begin()));
    EXPECT_EQ(frames[k][16], k < 222 ? k : 255);
    EXPECT_TRUE(
        std::all_of(frames[k].begin() + 284, frames[k].end(), [](auto b) { return b == 0; }));
  }
  EXPECT_EQ(std::vector(frames[0].begin() + 16, frames[0].begin() + 28),
            (std::vector<std::uint8_t>{0, 0, 19, 16, 0, 0, 0, 0, 0, 0, 0x21, 0x6C}));
  EXPECT_EQ(Progress().back(), 0);

  Ticks(1);  // finished: nothing more goes out
  EXPECT_EQ(adapter.CallCount(), calls.size());
}

TEST_F(ProgrammingWindowTest, BurstAfterPartOfAUsbTransferRepeatsTheFinalPacket) {
  Activate();
  Press();
  Ticks(100);
  OnUi([&] { model.ChooseStandardProgrammer(); });
  const std::size_t before = adapter.CallCount();
  Ticks(1);
  const auto calls = adapter.Calls();
  const auto frames = StandardFrames({calls.begin() + before, calls.end()});
  ASSERT_EQ(frames.size(), 223u);
  EXPECT_EQ(frames[0][16], 100);
  EXPECT_EQ(frames[121][16], 221);
  EXPECT_EQ(frames[122][16], 255);
  for (int k = 123; k < 223; ++k) EXPECT_EQ(frames[k], frames[122]);
}

TEST_F(ProgrammingWindowTest, ClosingWithStandardChosenReturnsToUsbOnActivation) {
  Activate();
  OnUi([&] {
    model.ChooseStandardProgrammer();
    model.Close();
  });
  const std::size_t before = adapter.CallCount();
  Activate();
  const std::vector<AdapterCall> expected = {
      Call("FT_Open", {0}, 0), Call("FT_ClrRts"), Call("FT_ClrDtr"),
      // the activation's own set-up
      Call("FT_SetDivisor", {1}), Call("FT_SetDataCharacteristics", {8, 0, 0}),
      Call("FT_SetTimeouts", {100, 100}), Call("FT_Write", {528}),
      // checking "Brightwave USB" again is a click on it
      Call("FT_SetDivisor", {1}), Call("FT_SetDataCharacteristics", {8, 0, 0}),
      Call("FT_SetTimeouts", {100, 100}), Call("FT_Write", {528}), Call("FT_Read", {272})};
  EXPECT_EQ(adapter.Sequence(before), expected);
  EXPECT_EQ(model.Settings().Kind(), ProgrammerKind::UsbProgrammer);
  EXPECT_EQ(ticker.Period(), 50);
  EXPECT_TRUE(ticker.Running());
  OnUi([&] { EXPECT_EQ(view.UsbChecks, 2); });
}

TEST_F(ProgrammingWindowTest, LostUsbProgrammerEndsTheTransfer) {
  Activate();
  Press();
  Ticks(3);
  adapter.FailWritesFrom = adapter.WriteCount();
  Ticks(1);
  EXPECT_EQ(model.State(), TransferState::Idle);
  EXPECT_FALSE(ticker.Running());
  EXPECT_EQ(Progress().back(), 0);
  EXPECT_EQ(Errors(), std::vector<std::string>{std::string(message::NoProgrammer)});
  OnUi([&] { EXPECT_EQ(view.ProgramButtonEnabled, false); });
  const std::size_t stopped = adapter.CallCount();
  Ticks(2);
  EXPECT_EQ(adapter.CallCount(), stopped);

  // Plugged in again: the next transfer starts from page 0.
  adapter.FailWritesFrom = -1;
  OnUi([&] { model.Close(); });
  Activate();
  Press();
  Ticks(1);
  EXPECT_EQ(UsbPages(), (std::vector<int>{0, 1, 2, 3, 0}));
}

TEST_F(ProgrammingWindowTest, LostStandardProgrammerStopsTheBurstAtTheFailedWrite) {
  Activate();
  OnUi([&] { model.ChooseStandardProgrammer(); });
  Press();
  // The fourth frame's start code fails.
  adapter.FailWritesFrom = adapter.WriteCount() + 3 * 131 + 1;
  Ticks(1);
  const auto calls = adapter.Calls();
  EXPECT_EQ(calls.back().Name, "FT_Write");
  EXPECT_EQ(calls.back().Args, std::vector<std::uint32_t>{1});
  EXPECT_EQ(adapter.WriteCount(), adapter.FailWritesFrom + 1);
  EXPECT_EQ(model.State(), TransferState::Idle);
  EXPECT_FALSE(ticker.Running());
  EXPECT_EQ(Errors(), std::vector<std::string>{std::string(message::NoProgrammer)});
  EXPECT_EQ(Progress(), (std::vector<int>{0, 1, 2, 3, 4, 0}));
}

// A device lost during the break: the divisor call that fails ends the burst at once, not
// after a frame sent into nothing.
class LostDuringTheBreak : public ProgrammingWindowTest,
                           public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(LostDuringTheBreak, EndsTheBurstAtTheFailedDivisor) {
  Activate();
  OnUi([&] { model.ChooseStandardProgrammer(); });
  Press();
  adapter.FailDivisor = GetParam();
  const std::size_t before = adapter.CallCount();
  Ticks(1);
  std::vector<AdapterCall> expected = {Call("FT_SetDivisor", {kBreakDivisor})};
  if (GetParam() == kDmxDivisor) {
    expected.push_back(Call("FT_Write", {1}));
    expected.push_back(Call("FT_SetDivisor", {kDmxDivisor}));
  }
  EXPECT_EQ(adapter.Sequence(before), expected);
  EXPECT_EQ(model.State(), TransferState::Idle);
  EXPECT_FALSE(ticker.Running());
  EXPECT_EQ(Errors(), std::vector<std::string>{std::string(message::NoProgrammer)});
  EXPECT_EQ(Progress(), (std::vector<int>{0, 1, 0}));
}

INSTANTIATE_TEST_SUITE_P(Divisors, LostDuringTheBreak,
                         ::testing::Values(kBreakDivisor, kDmxDivisor));

// The interleaving: a tick's write fails and the tick ends the transfer on the timer
// thread, then posts the notice that disables "Programuj sterownik". A press the user made
// just before is still queued ahead of that notice on the user-interface thread, so it
// reaches the model after the transfer has ended, while the button is still enabled. It
// used to arm the transfer again with the timer gate closed: no error, no progress, and the
// next successful opening started a transfer nobody asked for.
TEST_F(ProgrammingWindowTest, PressQueuedAheadOfTheFailureNoticeDoesNotArmTheNextOpening) {
  Activate();
  Press();
  Ticks(3);
  adapter.FailWritesFrom = adapter.WriteCount();
  std::promise<void> tickEnded;
  std::shared_future<void> ended = tickEnded.get_future().share();
  // The user-interface thread is busy until the failing tick has ended and posted its
  // notice; then it handles the press queued before that notice.
  ui.Post([&] {
    ended.wait();
    model.StartTransfer();
  });
  std::thread tick([&] {
    Tick();
    tickEnded.set_value();
  });
  tick.join();
  OnUi([] {});
  EXPECT_EQ(model.State(), TransferState::Idle);
  EXPECT_EQ(Errors(), std::vector<std::string>{std::string(message::NoProgrammer)});
  OnUi([&] { EXPECT_EQ(view.ProgramButtonEnabled, false); });

  // Plugged in again and opened: nothing is sent until the button is pressed.
  adapter.FailWritesFrom = -1;
  Close();
  Activate();
  Ticks(3);
  EXPECT_EQ(model.State(), TransferState::Idle);
  EXPECT_EQ(UsbPages(), (std::vector<int>{0, 1, 2, 3}));
  Press();
  Ticks(1);
  EXPECT_EQ(UsbPages(), (std::vector<int>{0, 1, 2, 3, 0}));
}

TEST_F(ProgrammingWindowTest, ClosingWaitsForTheRunningTick) {
  Activate();
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  adapter.OnWrite = [&](int write) {
    if (write == 1) {
      entered.set_value();
      released.wait();
    }
  };
  std::thread tick([&] { Tick(); });
  entered.get_future().wait();
  const int stops = ticker.Stops();
  ui.Post([&] { model.Close(); });
  // Close has stopped the ticker and waits for the tick: nothing closed yet.
  EXPECT_TRUE(ticker.WaitForStops(stops + 1));
  EXPECT_NE(adapter.Sequence().back(), Call("FT_Close"));
  release.set_value();
  tick.join();
  OnUi([] {});
  const auto calls = adapter.Sequence();
  EXPECT_EQ(std::vector(calls.end() - 2, calls.end()),
            (std::vector<AdapterCall>{Call("FT_ClrRts"), Call("FT_Close")}));
}

TEST_F(ProgrammingWindowTest, ClosingDuringABurstStopsAfterTheCurrentFrame) {
  Activate();
  OnUi([&] { model.ChooseStandardProgrammer(); });
  Press();
  const int burstStart = adapter.WriteCount();
  std::promise<void> underway;
  adapter.OnWrite = [&](int write) {
    if (write == burstStart + 500) underway.set_value();
    // Slow enough that the close arrives long before the burst could end.
    if (write >= burstStart + 500) std::this_thread::sleep_for(100us);
  };
  std::thread tick([&] { Tick(); });
  underway.get_future().wait();
  OnUi([&] { model.Close(); });
  tick.join();

  const auto calls = adapter.Calls();
  EXPECT_EQ(calls.back().Name, "FT_Close");
  const int frames = (adapter.WriteCount() - burstStart) / 131;
  EXPECT_EQ((adapter.WriteCount() - burstStart) % 131, 0);
  EXPECT_LT(frames, 223);
  EXPECT_EQ(model.State(), TransferState::Running);
  EXPECT_FALSE(ticker.Running());

  adapter.OnWrite = nullptr;
  Activate();  // back to the Brightwave USB programmer
  Ticks(1);
  EXPECT_EQ(UsbPages(), std::vector<int>{frames});
}

// The real timer: after activation the ticks arrive on the timer's thread every 50 ms, and
// once the window is closed no more calls reach the adapter.
TEST(ProgrammingWindowTimerTest, TicksRunOnTheTimerThreadWhileTheWindowIsOpen) {
  RecordingAdapter adapter;
  TMMTimer timer;
  UiThread ui;
  FakeView view{ui};
  FakeMessages messages{ui};
  ProgrammingWindowModel model{adapter, timer, view, messages};
  std::atomic<int> offUiWrites = 0;
  adapter.OnWrite = [&](int) {
    if (std::this_thread::get_id() != ui.Id()) ++offUiWrites;
  };
  ui.Run([&] {
    model.FormCreate();
    model.Open();
  });
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (offUiWrites < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_GE(offUiWrites, 3);
  ui.Run([&] { model.Close(); });
  const std::size_t closed = adapter.CallCount();
  EXPECT_EQ(adapter.Calls().back().Name, "FT_Close");
  std::this_thread::sleep_for(120ms);
  EXPECT_EQ(adapter.CallCount(), closed);
}

}  // namespace
}  // namespace lumora::testing
