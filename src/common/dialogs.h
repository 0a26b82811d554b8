#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/translation_mark.h"

namespace lumora {

// Which file dialogs: sequence files (".sqx"), project files (".prj"), or the export line and
// the listings, which are offered the sequence files' filter and extension but are kept apart:
// they are never opened, and their folder is not the sequences'.
enum class FileKind { Sequence, Project, Listing };

// The file dialogs of the main window; the application shows real ones, tests answer.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> GetOpenFileName(FileKind kind) = 0;
  // The chosen path with the default extension added, or nothing when cancelled.
  virtual std::optional<std::string> GetSaveFileName(FileKind kind) = 0;
  // A file of the kind, chosen in these dialogs or given from outside, has been read or
  // written: dialogs that remember the designer's files keep it. Others pass it over.
  virtual void FileUsed(FileKind /*kind*/, const std::string& /*path*/) {}
  // The sequences or projects read or written last that still exist, newest first.
  virtual std::vector<std::string> RecentFiles(FileKind /*kind*/) { return {}; }
};

// Modal message boxes with a single OK button.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void ShowError(std::string_view text) = 0;
  virtual void ShowWarning(std::string_view text) = 0;
};

// The texts of the message boxes; the window shows them translated under the context
// "message".
namespace message {
inline constexpr std::string_view FileError = LUMORA_TR_NOOP("message", "ERROR PLIK");
inline constexpr std::string_view TableFileMissing =
    LUMORA_TR_NOOP("message", "BRAK PLIKU: STR.TAB");
inline constexpr std::string_view TableFileInvalid =
    LUMORA_TR_NOOP("message", "BŁĘDNY PLIK: STR.TAB");
inline constexpr std::string_view MemoryFull =
    LUMORA_TR_NOOP("message", "Brak wolnej pamięci w sterowniku");
inline constexpr std::string_view NoProgrammer =
    LUMORA_TR_NOOP("message", "Brak połączenia z programatorem");
// The lines below NoProgrammer when the adapter is present but the user may not open it.
inline constexpr std::string_view NoAccessToProgrammer =
    LUMORA_TR_NOOP("message",
                   "Programator jest podłączony, ale brak uprawnień dostępu do niego.\n"
                   "Zobacz rozdział „Programming from a normal user account” w pliku README.");
// The line below NoProgrammer when the adapter's driver library is not installed (Windows).
inline constexpr std::string_view NoAdapterDriver = LUMORA_TR_NOOP(
    "message", "Biblioteka sterownika adaptera USB (FTD2XX.DLL) nie jest zainstalowana.");
}  // namespace message

}  // namespace lumora
