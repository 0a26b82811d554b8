#include "programming/programming_settings.h"

#include <algorithm>

namespace lumora {

PacketSettings ProgrammingSettings::ForPacket() const {
  const std::int32_t address = targetAddress_;
  return {soloProgram_, soloSpeed_, tubeCount_, HighByte(address), LowByte(address)};
}

int ProgrammingSettings::Store(Spinner spinner, int position) {
  const SpinnerRange& range = kSpinnerRanges[Index(spinner)];
  return positions_[Index(spinner)] = std::clamp(position, range.Min, range.Max);
}

void ProgrammingSettings::UpdateSoloProgram() {
  soloProgram_ = static_cast<std::uint8_t>(autoChosen_ ? Position(Spinner::Auto) + 55
                                                       : Position(Spinner::Program) - 1);
}

void ProgrammingSettings::ChooseAllControllers() {
  addressChosen_ = false;
  targetAddress_ = 0;
}

void ProgrammingSettings::ChooseAddress() {
  addressChosen_ = true;
  targetAddress_ = Position(Spinner::Address);
}

int ProgrammingSettings::StepAddress(int position) {
  const int address = Store(Spinner::Address, position);
  // A disabled spinner cannot step; should one arrive anyway, "all controllers" stays.
  if (addressChosen_) targetAddress_ = address;
  // Auto-repeat steps 1, 1, then 10 until the mouse is released.
  const int step = fastStep_ ? kAddressFastStep : kAddressStep;
  fastStep_ = true;
  return step;
}

int ProgrammingSettings::ReleaseAddressSpinner() {
  fastStep_ = false;
  return kAddressStep;
}

void ProgrammingSettings::ChooseProgram() {
  autoChosen_ = false;
  UpdateSoloProgram();
}

void ProgrammingSettings::ChooseAuto() {
  autoChosen_ = true;
  UpdateSoloProgram();
}

// Only the spinner of the chosen radio button decides SoloProgram.
void ProgrammingSettings::StepProgram(int position) {
  Store(Spinner::Program, position);
  UpdateSoloProgram();
}

void ProgrammingSettings::StepAuto(int position) {
  Store(Spinner::Auto, position);
  UpdateSoloProgram();
}

void ProgrammingSettings::StepSpeed(int position) {
  soloSpeed_ = static_cast<std::uint8_t>(Store(Spinner::Speed, position) - 1);
}

void ProgrammingSettings::StepTubes(int position) {
  tubeCount_ = static_cast<std::uint8_t>(Store(Spinner::Tubes, position));
}

}  // namespace lumora
