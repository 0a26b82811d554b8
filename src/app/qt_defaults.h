#pragma once

namespace lumora {

// What the program asks of Qt before the application object exists: called first by main.
void ChooseQtDefaults();

}  // namespace lumora
