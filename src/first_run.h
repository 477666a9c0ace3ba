#pragma once

#include <string>

#include "console/console.h"

// Reads the first-run marker of the game folder `dir` and reports it: "yes"
// sets *firstRun to 1, "no" to 0; any other word, or none, leaves it as it was
// and shows an error. Returns the flag's value.
int Config(Console& con, const std::string& dir, int* firstRun);

// On a first run (a flag of 1 or more) registers the character scripts in
// autoexec.cfg and then marks the run done; otherwise only says so.
void FirstRunStep(Console& con, const std::string& dir, int firstRun);
