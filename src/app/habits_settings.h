#pragma once

#include "main_window/file_habits_store.h"

namespace lumora {

// The designer's folders and recent files in the user's settings (QSettings): on Linux the
// file lumora/lumora.conf in the user's configuration folder (XDG_CONFIG_HOME, else
// ~/.config), on Windows the registry key HKEY_CURRENT_USER\Software\Lumora\Lumora. A settings
// file that is damaged reads as far as it is sound; one that cannot be read reads as empty;
// one that is no regular file (a pipe, a device, a folder) or too large to be one of ours is
// never opened, read or replaced. A write that fails is passed over.
class HabitsSettings : public FileHabitsStore {
 public:
  FileHabitsRecord Load() override;
  bool Save(const FileHabitsRecord& record) override;
};

}  // namespace lumora
