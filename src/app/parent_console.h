#pragma once

namespace lumora {

// Sends the standard output and error of a program started from a terminal there. Only
// Windows needs it: a windowed program has no console of its own there, so without it the
// answers to --help and --version would go nowhere.
void UseParentConsole();

}  // namespace lumora
