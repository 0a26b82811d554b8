#include "programming/ftdi_adapter.h"

#include <gtest/gtest.h>

#include <array>

namespace lumora {
namespace {

// No chip has this product id, so the test never reaches a real device.
constexpr std::array<UsbId, 1> kNoSuchChip = {{{0x0403, 0x0000}}};

TEST(FtdiAdapter, WithoutADeviceOpenFailsAndEveryOtherCallRefusesTheHandle) {
  FtdiAdapter adapter(kNoSuchChip);
  FT_HANDLE handle = 0;
  EXPECT_EQ(adapter.FT_Open(0, &handle), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(adapter.FT_Open(0, nullptr), FT_INVALID_HANDLE);

  std::array<std::uint8_t, 4> bytes{};
  for (FT_HANDLE bad : {FT_HANDLE{0}, FT_HANDLE{1}}) {
    std::uint32_t count = 7;
    EXPECT_EQ(adapter.FT_Write(bad, bytes.data(), 4, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(count, 0u);
    count = 7;
    EXPECT_EQ(adapter.FT_Read(bad, bytes.data(), 4, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(adapter.FT_SetDivisor(bad, 12), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_SetDataCharacteristics(bad, 8, 2, 0), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_SetTimeouts(bad, 100, 100), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_SetRts(bad), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_ClrRts(bad), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_ClrDtr(bad), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_Close(bad), FT_INVALID_HANDLE);
  }
}

}  // namespace
}  // namespace lumora
