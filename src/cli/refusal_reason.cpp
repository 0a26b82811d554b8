#include "cli/refusal_reason.h"

namespace lumora::cli {

std::string_view RefusalReason(ReadResult result) {
  switch (result) {
    case ReadResult::Ok:
      return "";
    case ReadResult::CannotOpen:
      return "cannot be opened (missing or unreadable)";
    case ReadResult::NotAFile:
      return "is not a regular file";
    case ReadResult::Invalid:
      return "is not valid: a number is missing, is not a number, is out of range or fails a "
             "check";
  }
  return "is not valid";
}

}  // namespace lumora::cli
