#pragma once

#include <string>

#include <QFileInfo>

#include "app/habits_settings.h"
#include "app/path_text.h"
#include "app/qt_dialogs.h"
#include "main_window/file_habits.h"

namespace lumora {

// The file dialogs of a run of the program: they open in the folders, and offer the recent
// files, kept in the user's settings.
struct UserFileDialogs {
  HabitsSettings settings;
  FileHabits habits{settings,
                    [](const std::string& path) { return QFileInfo::exists(PathText(path)); }};
  QtFileDialogs dialogs{habits};
};

}  // namespace lumora
