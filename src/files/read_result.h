#pragma once

namespace lumora {

// The outcome of reading one of the program's number files.
enum class ReadResult {
  Ok,          // every number needed was read and passed the checks
  CannotOpen,  // missing, unreadable or a folder
  Invalid,     // a number is missing, is not a number, is out of range or fails a check
};

}  // namespace lumora
