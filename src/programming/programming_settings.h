#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace lumora {

enum class ProgrammerKind : std::uint8_t { UsbProgrammer, StandardProgrammer };

// The spinners of the programming window, UpDown1 to UpDown5.
enum class Spinner { Address, Program, Speed, Tubes, Auto };
inline constexpr int kSpinnerCount = 5;

struct SpinnerRange {
  int Min;
  int Max;
  int Initial;
};
inline constexpr std::array<SpinnerRange, kSpinnerCount> kSpinnerRanges = {{
    {1, 504, 1},  // DMX address
    {1, 56, 1},   // DMX program
    {1, 32, 20},  // speed
    {1, 16, 16},  // number of tubes
    {1, 7, 1},    // auto program
}};

// Step of the address spinner before and during auto-repeat.
inline constexpr int kAddressStep = 1;
inline constexpr int kAddressFastStep = 10;

// The header fields of one packet, taken from the settings in one go.
struct PacketSettings {
  std::uint8_t SoloProgram;
  std::uint8_t SoloSpeed;
  std::uint8_t TubeCount;
  std::uint8_t AddressHigh;
  std::uint8_t AddressLow;
};

// The programming window's settings and the logic of the controls that make them. Spinner
// positions arrive after the spinner moved; out-of-range positions are clamped. The values
// a packet needs are atomics: the timer thread reads them while the user changes them.
class ProgrammingSettings {
 public:
  // 0 for all controllers, else the DMX address 1..504.
  std::int32_t TargetAddress() const { return targetAddress_; }
  std::uint8_t AddressLow() const { return LowByte(targetAddress_); }
  std::uint8_t AddressHigh() const { return HighByte(targetAddress_); }
  // DMX program k as k - 1, auto program k as 55 + k.
  std::uint8_t SoloProgram() const { return soloProgram_; }
  std::uint8_t SoloSpeed() const { return soloSpeed_; }
  std::uint8_t TubeCount() const { return tubeCount_; }
  ProgrammerKind Kind() const { return kind_; }
  void SetKind(ProgrammerKind kind) { kind_ = kind; }
  bool FastStep() const { return fastStep_; }
  int Position(Spinner spinner) const { return positions_[Index(spinner)]; }
  bool AddressChosen() const { return addressChosen_; }
  bool AutoChosen() const { return autoChosen_; }

  // Both address bytes come from one reading of the address, so a packet never mixes an
  // old low byte with a new high byte.
  PacketSettings ForPacket() const;

  void ChooseAllControllers();
  void ChooseAddress();
  // Returns the address spinner's step from now on.
  int StepAddress(int position);
  int ReleaseAddressSpinner();
  void ChooseProgram();
  void ChooseAuto();
  void StepProgram(int position);
  void StepAuto(int position);
  void StepSpeed(int position);
  void StepTubes(int position);

 private:
  static constexpr int Index(Spinner spinner) { return static_cast<int>(spinner); }
  static std::uint8_t LowByte(std::int32_t address) { return address & 0xFF; }
  static std::uint8_t HighByte(std::int32_t address) { return (address >> 8) & 0xFF; }
  int Store(Spinner spinner, int position);
  void UpdateSoloProgram();

  std::array<int, kSpinnerCount> positions_ = {kSpinnerRanges[0].Initial, kSpinnerRanges[1].Initial,
                                               kSpinnerRanges[2].Initial, kSpinnerRanges[3].Initial,
                                               kSpinnerRanges[4].Initial};
  bool addressChosen_ = false;
  bool autoChosen_ = false;
  bool fastStep_ = false;
  std::atomic<std::int32_t> targetAddress_{0};
  std::atomic<std::uint8_t> soloProgram_{0};
  std::atomic<std::uint8_t> soloSpeed_{19};
  std::atomic<std::uint8_t> tubeCount_{16};
  std::atomic<ProgrammerKind> kind_{ProgrammerKind::UsbProgrammer};
};

}  // namespace lumora
