#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "common/program_tables.h"

namespace lumora::cli {

// The bytes the programming window sends.
std::string SentImageBytes(const ControllerImageArray& image);

// A dump of bytes: the offset, then 16 bytes in hex, a line each.
std::string HexDump(std::string_view bytes);

// Builds the controller image of project with the table file, as "Wyślij do sterownika"
// does; nothing, with the reason written to err, when a file is refused.
std::optional<ControllerImageArray> BuildImage(const std::string& project,
                                               const std::string& tableFile, std::ostream& err);

// "image": the sent bytes into output, or their hex dump into output (or out when output is
// empty) with hex.
int WriteImage(const std::string& project, const std::string& tableFile, const std::string& output,
               bool hex, std::ostream& out, std::ostream& err);

// "listing": what "save all" writes for project.
int WriteListing(const std::string& project, const std::string& output, std::ostream& err);

// "export": the export line of sequence with the program table of project.
int WriteExport(const std::string& sequence, const std::string& project, const std::string& output,
                std::ostream& err);

}  // namespace lumora::cli
