#pragma once

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "programming/programming_window_model.h"
#include "recording_adapter.h"
#include "ui_thread.h"

namespace lumora::testing {

// Records what the window's logic shows; complains about any widget call made off the
// user-interface thread. Read its fields on that thread (through UiThread::Run).
class FakeView : public ProgrammingView {
 public:
  explicit FakeView(UiThread& ui) : ui_(ui) {}

  std::array<std::optional<bool>, kSpinnerCount> SpinnerEnabled;
  int AddressStep = 1;
  std::optional<bool> ProgramButtonEnabled;
  int UsbChecks = 0;
  std::vector<int> Progress;

  void SetSpinnerEnabled(Spinner spinner, bool enabled) override {
    OnUi();
    SpinnerEnabled[static_cast<int>(spinner)] = enabled;
  }
  void SetAddressSpinnerStep(int step) override {
    OnUi();
    AddressStep = step;
  }
  void SetProgramButtonEnabled(bool enabled) override {
    OnUi();
    ProgramButtonEnabled = enabled;
  }
  void CheckUsbProgrammerButton() override {
    OnUi();
    ++UsbChecks;
  }
  void SetProgressPosition(int position) override {
    OnUi();
    Progress.push_back(position);
  }
  void PostToUiThread(std::function<void()> task) override { ui_.Post(std::move(task)); }

 private:
  void OnUi() const { EXPECT_EQ(std::this_thread::get_id(), ui_.Id()); }
  UiThread& ui_;
};

class FakeMessages : public MessageBoxes {
 public:
  explicit FakeMessages(UiThread& ui) : ui_(ui) {}
  std::vector<std::string> Errors;
  void ShowError(std::string_view text) override {
    EXPECT_EQ(std::this_thread::get_id(), ui_.Id());
    Errors.emplace_back(text);
  }
  void ShowWarning(std::string_view text) override { ADD_FAILURE() << "warning " << text; }

 private:
  UiThread& ui_;
};

// The programming window with a recording adapter, a thread standing in for the
// user-interface thread and a timer in design mode: the test delivers the ticks itself,
// through the timer's gate, from a thread standing in for the timer's.
class ProgrammingWindowTest : public ::testing::Test {
 protected:
  ProgrammingWindowTest() {
    OnUi([&] { model.FormCreate(); });
  }

  void OnUi(const std::function<void()>& action) { ui.Run(action); }

  // Delivers ticks as the system timer would, then lets the posted updates through.
  void Ticks(int count) {
    std::thread timerThread([&] {
      for (int i = 0; i < count; ++i) {
        TMMTimer::MMTimerCallbackProc(0, 0, reinterpret_cast<std::uintptr_t>(&timer), 0, 0);
      }
    });
    timerThread.join();
    OnUi([] {});
  }

  void Activate() {
    OnUi([&] { model.FormActivate(); });
  }
  void Press() {
    OnUi([&] { model.SpeedButton1Click(); });
  }

  std::vector<int> Progress() {
    std::vector<int> progress;
    OnUi([&] { progress = view.Progress; });
    return progress;
  }
  std::vector<std::string> Errors() {
    std::vector<std::string> errors;
    OnUi([&] { errors = messages.Errors; });
    return errors;
  }

  // The bytes of the writes of the given size, in order.
  std::vector<std::vector<std::uint8_t>> Writes(std::uint32_t size) const {
    std::vector<std::vector<std::uint8_t>> writes;
    for (const AdapterCall& call : adapter.Calls()) {
      if (call.Name == "FT_Write" && call.Args[0] == size) writes.push_back(call.Bytes);
    }
    return writes;
  }
  // Page numbers (slot 17) of the 528-byte blocks that carried a packet.
  std::vector<int> UsbPages() const {
    std::vector<int> pages;
    for (const auto& block : Writes(kUsbBlockSize)) {
      if (block[kUsbSlotBase] == ProgrammingSignature[0]) pages.push_back(block[kUsbSlotBase + 16]);
    }
    return pages;
  }

  RecordingAdapter adapter;
  TMMTimer timer{/*designMode=*/true};
  ControllerImageArray image{};
  UiThread ui;
  FakeView view{ui};
  FakeMessages messages{ui};
  ProgrammingWindowModel model{adapter, timer, view, messages, image};
};

inline AdapterCall Call(std::string name, std::vector<std::uint32_t> args = {},
                        FT_HANDLE handle = RecordingAdapter::kHandle) {
  return {std::move(name), handle, std::move(args), {}};
}

}  // namespace lumora::testing
