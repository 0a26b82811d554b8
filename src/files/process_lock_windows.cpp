#include <windows.h>

#include "files/process_lock.h"

namespace lumora {

// Opened for this process alone: while it is open nobody else can open the file, and the
// system closes it with the process.
ProcessLock::Handle ProcessLock::Hold(const std::filesystem::path& path, bool fresh) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                  fresh ? CREATE_NEW : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return reinterpret_cast<Handle>(file);
}

// Marked for deletion while held, the file goes as the handle closes.
void ProcessLock::Unlink(Handle handle, const std::filesystem::path&) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  SetFileInformationByHandle(reinterpret_cast<HANDLE>(handle), FileDispositionInfo, &disposition,
                             sizeof(disposition));
}

void ProcessLock::Close(Handle handle) {
  CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace lumora
