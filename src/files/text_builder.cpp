#include "files/text_builder.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace lumora {

TextBuilder::TextBuilder(std::size_t expectedSize) {
  text_.resize(expectedSize);
}

char* TextBuilder::Room(std::size_t count) {
  if (text_.size() - size_ < count) text_.resize(std::max(2 * text_.size(), size_ + count));
  return text_.data() + size_;
}

void TextBuilder::Number(std::int32_t value, std::string_view separator) {
  char* at = Room(kMaxNumberChars + separator.size());
  at = std::to_chars(at, at + kMaxNumberChars, value).ptr;
  std::memcpy(at, separator.data(), separator.size());
  size_ = static_cast<std::size_t>(at - text_.data()) + separator.size();
}

void TextBuilder::Text(std::string_view text) {
  std::memcpy(Room(text.size()), text.data(), text.size());
  size_ += text.size();
}

std::string TextBuilder::Take() {
  text_.resize(size_);
  size_ = 0;
  return std::move(text_);
}

}  // namespace lumora
