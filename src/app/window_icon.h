#pragma once

#include <QIcon>

namespace lumora {

// Lumora's icon (data/icons/lumora.svg) at every size its PNGs have.
QIcon WindowIcon();

}  // namespace lumora
