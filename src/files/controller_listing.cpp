#include "files/controller_listing.h"

#include <cstdint>
#include <span>

#include "files/atomic_save.h"
#include "files/text_builder.h"

namespace lumora {
namespace {

// The firmware tools read CR LF line ends whatever system wrote the listing.
constexpr std::string_view kLineEnd = " \r\n";

enum class LineEnd { Break, None };

// Room for every value of a listing with its ".db " and line end.
std::size_t ListingSize(std::size_t values, std::size_t lines) {
  return values * (kMaxNumberChars + 2) + lines * 8;
}

// One ".db " line: the values (each less `minus`, wrapping as the 32-bit table values do)
// joined by ", ", then the line end.
template <class Values>
void AppendLine(TextBuilder& text, const Values& values, std::uint32_t minus, LineEnd end) {
  const auto less = [minus](auto value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) - minus);
  };
  text.Text(".db ");
  for (std::size_t i = 0; i + 1 < values.size(); ++i) text.Number(less(values[i]), ", ");
  text.Number(less(values.back()), end == LineEnd::Break ? kLineEnd : "");
}

void AppendSceneLines(TextBuilder& text, const PackedScenesArray& packedScenes) {
  for (std::size_t at = 0; at < packedScenes.size(); at += kPackedSceneSize) {
    AppendLine(text, std::span(packedScenes).subspan(at, kPackedSceneSize), 0, LineEnd::Break);
  }
}

}  // namespace

std::string FormatFullListing(const AutoTableArray& autoTable,
                              const ProgramTableArray& programTable,
                              const PackedScenesArray& packedScenes) {
  TextBuilder text(
      ListingSize(autoTable.size() + programTable.size() + packedScenes.size(), 2 + StoreCapacity));
  AppendLine(text, autoTable, 1, LineEnd::Break);
  AppendLine(text, programTable, 0, LineEnd::Break);
  AppendSceneLines(text, packedScenes);
  return text.Take();
}

std::string FormatAutoListing(const AutoTableArray& autoTable) {
  TextBuilder text(ListingSize(autoTable.size(), 1));
  AppendLine(text, autoTable, 0, LineEnd::Break);
  return text.Take();
}

std::string FormatProgramListing(const ProgramTableArray& programTable) {
  TextBuilder text(ListingSize(programTable.size(), 1));
  AppendLine(text, programTable, 0, LineEnd::None);
  return text.Take();
}

std::string FormatSceneListing(const PackedScenesArray& packedScenes) {
  TextBuilder text(ListingSize(packedScenes.size(), StoreCapacity));
  AppendSceneLines(text, packedScenes);
  return text.Take();
}

bool SaveFullListing(const std::string& path, const AutoTableArray& autoTable,
                     const ProgramTableArray& programTable, const PackedScenesArray& packedScenes) {
  return SaveFileAtomically(path, FormatFullListing(autoTable, programTable, packedScenes));
}

bool SaveAutoListing(const std::string& path, const AutoTableArray& autoTable) {
  return SaveFileAtomically(path, FormatAutoListing(autoTable));
}

bool SaveProgramListing(const std::string& path, const ProgramTableArray& programTable) {
  return SaveFileAtomically(path, FormatProgramListing(programTable));
}

bool SaveSceneListing(const std::string& path, const PackedScenesArray& packedScenes) {
  return SaveFileAtomically(path, FormatSceneListing(packedScenes));
}

}  // namespace lumora
