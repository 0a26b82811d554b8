#pragma once

#include <string_view>

#include "files/read_result.h"

namespace lumora::cli {

// Why a reader refused a file, in words for the terminal; empty for ReadResult::Ok.
std::string_view RefusalReason(ReadResult result);

}  // namespace lumora::cli
