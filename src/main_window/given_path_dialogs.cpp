#include "main_window/given_path_dialogs.h"

#include <utility>

namespace lumora {

std::optional<std::string> GivenPathDialogs::GetOpenFileName(FileKind kind) {
  if (!given_ || given_->kind != kind) return dialogs_.GetOpenFileName(kind);
  std::string path = std::move(given_->path);
  given_.reset();
  return path;
}

}  // namespace lumora
