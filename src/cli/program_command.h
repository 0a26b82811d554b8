#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "common/ui_language.h"

namespace lumora::cli {

enum class ProgrammerChoice { Usb, Standard };

// What "program" was asked for; unset values keep the programming window's initial ones.
struct ProgramRequest {
  std::string project;
  std::string tableFile;
  ProgrammerChoice programmer = ProgrammerChoice::Usb;
  std::optional<int> address;      // all controllers when unset
  std::optional<int> soloProgram;  // DMX program 1..56
  std::optional<int> soloAuto;     // automatic program 1..7
  std::optional<int> speed;
  std::optional<int> tubes;
  std::string adapter = "usb";                     // as LUMORA_ADAPTER takes it
  UiLanguage reportLanguage = UiLanguage::Polish;  // of a virtual controller's report
  bool terminal = false;                           // out is a terminal: a bar rather than lines
};

// Builds the image as "image" does and sends it with the programming window's transfer,
// ticked by the real timer. kExitSuccess when the transfer is complete, kExitDeviceLost
// when the programmer could not be reached or went away, kExitRefused for refused input.
// Ctrl+C or a request to end the process stops the transfer as a lost programmer does, and
// gives the shell's code for it (ExitCodeOf).
int ProgramController(const ProgramRequest& request, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
