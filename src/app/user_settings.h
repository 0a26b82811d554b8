#pragma once

#include <memory>

#include <QSettings>

namespace lumora {

// The user's settings of the program where the system keeps them, or nothing when they must
// not be touched: on Linux a settings file that is no regular file, or larger than settings
// ever are, which QSettings would wait on or read whole.
std::unique_ptr<QSettings> OpenUserSettings();

}  // namespace lumora
