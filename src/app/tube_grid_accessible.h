#pragma once

namespace lumora {

// Makes accessibility tools see the tube picture as it was built from panels: sixteen tubes
// ("Tuba 3") of eight cells each ("Tuba 3, komórka 5"), each with its place on the screen.
void InstallTubeGridAccessibility();

}  // namespace lumora
