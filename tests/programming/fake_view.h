#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/dialogs.h"
#include "programming/programming_view.h"
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

}  // namespace lumora::testing
