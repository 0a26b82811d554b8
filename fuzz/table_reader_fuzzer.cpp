// Feeds arbitrary bytes to the "str.tab" reader: it must never crash, must leave its output
// alone unless it accepts the file, and what it accepts must read the same from one line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/table_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  lumora::TableFileArray values;
  values.fill(-7);
  if (lumora::ParseTableFile(text, values) != lumora::ReadResult::Ok) {
    for (const auto v : values) {
      if (v != -7) std::abort();
    }
    return 0;
  }
  std::string oneLine;
  for (const auto v : values) oneLine += std::to_string(v) + " ";
  lumora::TableFileArray again{};
  if (lumora::ParseTableFile(oneLine, again) != lumora::ReadResult::Ok || again != values) {
    std::abort();
  }
  return 0;
}
