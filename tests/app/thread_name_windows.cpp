#include <windows.h>

#include "thread_name.h"

namespace lumora::testing {

QString ThreadName(pid_t threadId) {
  using GetDescription = HRESULT(WINAPI*)(HANDLE, PWSTR*);
  const auto get = reinterpret_cast<GetDescription>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  const HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                   static_cast<DWORD>(threadId));
  if (get == nullptr || thread == nullptr) return {};
  QString name;
  // A thread that has ended but whose handle is still open has no name either.
  PWSTR description = nullptr;
  if (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT && SUCCEEDED(get(thread, &description))) {
    name = QString::fromWCharArray(description);
    LocalFree(description);
  }
  CloseHandle(thread);
  return name;
}

}  // namespace lumora::testing
