#pragma once

#include <string>

#include "console/console.h"

// Everything a copy that may run does, from the first-run marker to Exit or
// the end of the input, in the game folder `dir` (empty: the working one).
void RunEditor(Console& con, const std::string& dir);

// The selection loop: the roster as a menu, each choice handed to its editor.
void SelectCharacters(Console& con, const std::string& dir);
