// An ftd2xx.dll without FT_SetDivisor, the last call the backend looks for: the backend must
// take it for no library at all. The calls it has do nothing and succeed.
#include <windows.h>

#include "programming/adapters/d2xx_functions.h"

using lumora::d2xx::Handle;
using lumora::d2xx::Status;

extern "C" {

__declspec(dllexport) Status WINAPI FT_Open(int, Handle* handle) {
  static int device;
  *handle = &device;
  return 0;
}
__declspec(dllexport) Status WINAPI FT_Close(Handle) {
  return 0;
}
__declspec(dllexport) Status WINAPI FT_Read(Handle, void*, DWORD, DWORD* bytesReturned) {
  *bytesReturned = 0;
  return 0;
}
__declspec(dllexport) Status WINAPI
    FT_Write(Handle, void*, DWORD bytesToWrite, DWORD* bytesWritten) {
  *bytesWritten = bytesToWrite;
  return 0;
}
__declspec(dllexport) Status WINAPI FT_SetDataCharacteristics(Handle, UCHAR, UCHAR, UCHAR) {
  return 0;
}
__declspec(dllexport) Status WINAPI FT_ClrDtr(Handle) {
  return 0;
}
__declspec(dllexport) Status WINAPI FT_SetRts(Handle) {
  return 0;
}
__declspec(dllexport) Status WINAPI FT_ClrRts(Handle) {
  return 0;
}
__declspec(dllexport) Status WINAPI FT_SetTimeouts(Handle, ULONG, ULONG) {
  return 0;
}

}  // extern "C"
