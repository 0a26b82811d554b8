#include "files/atomic_save.h"

namespace lumora {

bool SaveFileAtomically(const std::string& path, std::string_view bytes, SaveTemporary temporary) {
  AtomicSave save(path, temporary);
  return save.Write(bytes) && save.Commit();
}

}  // namespace lumora
