#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

// Builds the text of a written file in one string, sized up front and grown only if the
// estimate was short.
class TextBuilder {
 public:
  // Room for about the given number of characters.
  explicit TextBuilder(std::size_t expectedSize);

  // Appends the value in signed decimal, then the separator.
  void Number(std::int32_t value, std::string_view separator);
  // Appends each value as Number does; cell colours go as their signed bit pattern.
  template <class Values>
  void Numbers(const Values& values, std::string_view separator) {
    for (auto value : values) Number(static_cast<std::int32_t>(value), separator);
  }
  // Appends plain characters.
  void Text(std::string_view text);
  // The text built so far; the builder is empty afterwards.
  std::string Take();

 private:
  char* Room(std::size_t count);

  std::string text_;
  std::size_t size_ = 0;
};

// The most characters one signed 32-bit value takes in decimal ("-2147483648").
inline constexpr std::size_t kMaxNumberChars = 11;

}  // namespace lumora
