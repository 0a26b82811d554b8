#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "fake_view.h"
#include "programming/programming_window_model.h"
#include "recording_adapter.h"
#include "support/manual_ticker.h"
#include "ui_thread.h"

namespace lumora::testing {

// The programming window with the given adapter, a thread standing in for the
// user-interface thread and a hand-driven ticker: the test delivers the ticks itself, from a
// thread standing in for the timer's.
template <typename Adapter>
class WindowHarness {
 public:
  template <typename... AdapterArguments>
  explicit WindowHarness(AdapterArguments&&... arguments)
      : adapter(std::forward<AdapterArguments>(arguments)...) {
    OnUi([&] { model.FormCreate(); });
  }

  void OnUi(const std::function<void()>& action) { ui.Run(action); }

  // Delivers ticks as the system timer would, then lets the posted updates through.
  void Ticks(int count) {
    ticker.TicksOnOwnThread(count);
    OnUi([] {});
  }
  // One tick on the calling thread, the updates it posts left queued.
  void Tick() { ticker.Tick(); }

  // The send command: the image handed over, then the window shown.
  void Activate() {
    OnUi([&] {
      model.HandOver(image);
      model.Open();
    });
  }
  void Close() {
    OnUi([&] { model.Close(); });
  }
  void Press() {
    OnUi([&] { model.StartTransfer(); });
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

  Adapter adapter;
  ManualTicker ticker;
  ControllerImageArray image{};
  UiThread ui;
  FakeView view{ui};
  FakeMessages messages{ui};
  ProgrammingWindowModel model{adapter, ticker, view, messages};
};

// The window with a recording adapter.
class ProgrammingWindowTest : public ::testing::Test, public WindowHarness<RecordingAdapter> {
 protected:
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
};

inline AdapterCall Call(std::string name, std::vector<std::uint32_t> args = {},
                        FT_HANDLE handle = RecordingAdapter::kHandle) {
  return {std::move(name), handle, std::move(args), {}};
}

}  // namespace lumora::testing
