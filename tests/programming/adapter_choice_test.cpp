#include "programming/adapter_choice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "programming/adapters/tty_adapter.h"
#include "programming/virtual/virtual_adapter.h"

namespace lumora {
namespace {

class AdapterChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = std::filesystem::temp_directory_path() / "lumora-choice-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // A stand-in for the USB backend that the choice must hand back untouched.
  UsbAdapterFactory Usb() {
    return [this] {
      auto adapter = std::make_unique<VirtualAdapter>();
      made_ = adapter.get();
      return adapter;
    };
  }

  std::filesystem::path root_;
  const UsbAdapter* made_ = nullptr;
};

TEST_F(AdapterChoiceTest, UnsetEmptyOrUsbTakeTheUsbBackend) {
  for (const char* value : {"", "usb"}) {
    made_ = nullptr;
    const AdapterChoice choice = ChooseAdapter(value, Usb());
    EXPECT_EQ(choice.Error, "") << value;
    EXPECT_NE(choice.Adapter, nullptr);
    EXPECT_EQ(choice.Adapter.get(), made_) << value;
  }
  EXPECT_EQ(ChooseAdapter("", nullptr).Error, "LUMORA_ADAPTER: sterownik USB niedostępny");
}

TEST_F(AdapterChoiceTest, VirtualWithoutFilesNeverTouchesTheUsbBackend) {
  const AdapterChoice choice = ChooseAdapter("virtual", Usb());
  EXPECT_EQ(choice.Error, "");
  EXPECT_NE(dynamic_cast<VirtualAdapter*>(choice.Adapter.get()), nullptr);
  EXPECT_EQ(made_, nullptr);
}

TEST_F(AdapterChoiceTest, VirtualIntoADirectoryCreatesIt) {
  const std::filesystem::path directory = root_ / "a" / "b";
  const AdapterChoice choice = ChooseAdapter("virtual:" + directory.string(), Usb());
  EXPECT_EQ(choice.Error, "");
  ASSERT_NE(dynamic_cast<VirtualAdapter*>(choice.Adapter.get()), nullptr);
  EXPECT_TRUE(std::filesystem::exists(directory / "wire.log"));
  EXPECT_EQ(made_, nullptr);
}

// The report is written when the adapter goes, in the language the session chose.
TEST_F(AdapterChoiceTest, VirtualControllerReportsInTheLanguageGiven) {
  const struct {
    UiLanguage language;
    const char* firstLine;
  } cases[] = {{UiLanguage::Polish, "Wirtualny programator Lumora: raport odbioru"},
               {UiLanguage::English, "Lumora virtual programmer: reception report"}};
  for (const auto& c : cases) {
    const std::filesystem::path directory = root_ / c.firstLine;
    ChooseAdapter("virtual:" + directory.string(), Usb(), c.language).Adapter.reset();
    std::ifstream report(directory / "report.txt");
    std::string line;
    std::getline(report, line);
    EXPECT_EQ(line, c.firstLine);
  }
}

// The device is opened with the programming window, so a missing one is no start-up error.
TEST_F(AdapterChoiceTest, TtyTakesTheSerialBackendOnThePath) {
  const AdapterChoice choice = ChooseAdapter("tty:" + (root_ / "ttyUSB7").string(), Usb());
  EXPECT_EQ(choice.Error, "");
  ASSERT_NE(dynamic_cast<TtyAdapter*>(choice.Adapter.get()), nullptr);
  FT_HANDLE handle = 0;
  EXPECT_EQ(choice.Adapter->FT_Open(0, &handle), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(made_, nullptr);
}

TEST_F(AdapterChoiceTest, AnythingElseIsRefusedWithAMessage) {
  std::ofstream(root_ / "plik") << "x";
  const std::string file = (root_ / "plik").string();
  const struct {
    std::string Value;
    std::string Error;
  } cases[] = {
      {"xyz",
       "LUMORA_ADAPTER: nieznana wartość \"xyz\"; dozwolone: virtual, virtual:KATALOG, usb, "
       "tty:URZĄDZENIE"},
      {"Virtual",
       "LUMORA_ADAPTER: nieznana wartość \"Virtual\"; dozwolone: virtual, "
       "virtual:KATALOG, usb, tty:URZĄDZENIE"},
      {" usb",
       "LUMORA_ADAPTER: nieznana wartość \" usb\"; dozwolone: virtual, virtual:KATALOG, usb, "
       "tty:URZĄDZENIE"},
      {"virtual:", "LUMORA_ADAPTER: brak katalogu po \"virtual:\""},
      {"tty:", "LUMORA_ADAPTER: brak ścieżki urządzenia po \"tty:\""},
      {"tty",
       "LUMORA_ADAPTER: nieznana wartość \"tty\"; dozwolone: virtual, virtual:KATALOG, usb, "
       "tty:URZĄDZENIE"},
      {"virtual:" + file, "LUMORA_ADAPTER: nie można utworzyć katalogu \"" + file + "\""},
      {"virtual:" + file + "/sub",
       "LUMORA_ADAPTER: nie można utworzyć katalogu \"" + file + "/sub\""},
  };
  for (const auto& c : cases) {
    const AdapterChoice choice = ChooseAdapter(c.Value, Usb());
    EXPECT_EQ(choice.Adapter, nullptr) << c.Value;
    EXPECT_EQ(choice.Error, c.Error);
  }
  EXPECT_EQ(made_, nullptr);
}

}  // namespace
}  // namespace lumora
