#include "files/table_file.h"

#include "files/number_scanner.h"

namespace lumora {
namespace {

ReadResult ReadTable(NumberScanner& in, TableFileArray& out) {
  TableFileArray values;
  if (!in.Next(values)) return ReadResult::Invalid;
  out = values;
  return ReadResult::Ok;
}

}  // namespace

ReadResult ParseTableFile(std::string_view text, TableFileArray& out) {
  return ScanText(text, out, ReadTable);
}

ReadResult ReadTableFile(const std::string& path, TableFileArray& out) {
  return ScanFile(path, out, ReadTable);
}

}  // namespace lumora
