#include "cli/controller_files.h"

#include <cstdio>
#include <memory>

#include "cli/exit_codes.h"
#include "cli/headless_window.h"
#include "cli/output_file.h"
#include "cli/refusal_reason.h"
#include "files/atomic_save.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "main_window/controller_image.h"

namespace lumora::cli {

namespace {

// Why the window refused the file it was given: the reader tells, read once more, only on
// this road.
template <typename Data, typename Reader>
void ExplainRefusal(const std::string& kind, const std::string& path, Reader read,
                    std::ostream& err) {
  auto data = std::make_unique<Data>();
  const ReadResult result = read(path, *data);
  err << path << ": refused: the " << kind << " "
      << (result == ReadResult::Ok ? std::string_view("was not taken") : RefusalReason(result))
      << "\n";
}

bool OpenProject(HeadlessWindow& window, const std::string& path, std::ostream& err) {
  if (window.OpenProject(path)) return true;
  ExplainRefusal<ProjectFileData>("project file", path, ReadProjectFile, err);
  return false;
}

int Written(bool written, const std::string& output, std::ostream& err) {
  if (written) return kExitSuccess;
  err << output << ": could not be written\n";
  return kExitRefused;
}

}  // namespace

std::string SentImageBytes(const ControllerImageArray& image) {
  const SentImageArray sent = SentImage(image);
  return std::string(sent.begin(), sent.end());
}

std::string HexDump(std::string_view bytes) {
  std::string dump;
  dump.reserve(bytes.size() / 16 * 58 + 58);
  char field[24];
  for (std::size_t line = 0; line < bytes.size(); line += 16) {
    std::snprintf(field, sizeof field, "%08zx ", line);
    dump += field;
    for (std::size_t i = line; i < line + 16 && i < bytes.size(); ++i) {
      std::snprintf(field, sizeof field, " %02x", static_cast<unsigned char>(bytes[i]));
      dump += field;
    }
    dump += '\n';
  }
  return dump;
}

std::optional<ControllerImageArray> BuildImage(const std::string& project,
                                               const std::string& tableFile, std::ostream& err) {
  auto window = std::make_unique<HeadlessWindow>();
  if (!OpenProject(*window, project, err)) return std::nullopt;
  if (!window->BuildControllerImage(tableFile)) {
    ExplainRefusal<TableFileArray>("table file", tableFile, ReadTableFile, err);
    return std::nullopt;
  }
  return window->Model().Output().Image();
}

int WriteImage(const std::string& project, const std::string& tableFile, const std::string& output,
               bool hex, std::ostream& out, std::ostream& err) {
  if (!output.empty() && !OutputIsAFile(output, err)) return kExitRefused;
  const auto image = BuildImage(project, tableFile, err);
  if (!image) return kExitRefused;
  const std::string bytes = SentImageBytes(*image);
  if (!hex) return Written(SaveFileAtomically(output, bytes), output, err);
  const std::string dump = HexDump(bytes);
  if (output.empty()) {
    out << dump;
    return FlushedOut(kExitSuccess, out, err);
  }
  return Written(SaveFileAtomically(output, dump), output, err);
}

int WriteListing(const std::string& project, const std::string& output, std::ostream& err) {
  if (!OutputIsAFile(output, err)) return kExitRefused;
  auto window = std::make_unique<HeadlessWindow>();
  if (!OpenProject(*window, project, err)) return kExitRefused;
  return Written(window->SaveFullListing(output), output, err);
}

int WriteExport(const std::string& sequence, const std::string& project, const std::string& output,
                std::ostream& err) {
  if (!OutputIsAFile(output, err)) return kExitRefused;
  auto window = std::make_unique<HeadlessWindow>();
  if (!OpenProject(*window, project, err)) return kExitRefused;
  if (!window->OpenSequence(sequence)) {
    ExplainRefusal<SequenceFileData>("sequence file", sequence, ReadSequenceFile, err);
    return kExitRefused;
  }
  return Written(window->ExportSequence(output), output, err);
}

}  // namespace lumora::cli
