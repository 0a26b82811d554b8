#pragma once

#include <QIcon>

#include "common/scene.h"

namespace lumora {

// The images of the picture buttons, drawn at run time.
QIcon LeftArrowImage();
QIcon RightArrowImage();
QIcon PlusImage();
QIcon BinImage();
QIcon PlayImage();
QIcon StopImage();
QIcon PencilImage();
QIcon BrushImage();
// An arrow going down into a chip: "Programuj sterownik".
QIcon ProgrammingImage();
QIcon SwatchImage(CellColour colour);

}  // namespace lumora
