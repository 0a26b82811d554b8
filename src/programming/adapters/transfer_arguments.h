#pragma once

#include <cstdint>

#include "programming/adapters/usb_adapter.h"

namespace lumora {

// What every read and write of a backend starts with: nothing moved yet, then the handle's
// status, then a buffer wanted for any bytes.
inline FT_STATUS CheckTransfer(FT_STATUS usable, const void* buffer, std::uint32_t size,
                               std::uint32_t* moved) {
  if (moved != nullptr) *moved = 0;
  if (usable != FT_OK) return usable;
  return buffer == nullptr && size > 0 ? FT_IO_ERROR : FT_OK;
}

}  // namespace lumora
