#pragma once

#include <QIcon>

namespace lumora {

// Four coloured tube bars, drawn at run time.
QIcon WindowIcon();

}  // namespace lumora
