#pragma once

namespace lumora {

// The outcome of reading one of the program's number files.
enum class ReadResult {
  Ok,          // every number needed was read and passed the checks
  CannotOpen,  // missing or unreadable
  NotAFile,    // there, but a folder, pipe, device, socket or loop of links rather than a file
  Invalid,     // a number is missing, is not a number, is out of range or fails a check
};

}  // namespace lumora
