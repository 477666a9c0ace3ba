#pragma once

#include <string>

#include "console/console.h"
#include "editor/roster.h"

// A visit to one character's editor, writing to the game folder `dir`.
// Each returns true when the user went Back, false when the input has ended
// and the program is to stop.

// Appends the header comment line, then runs the forms menu, or the one CVAR
// page of a single-form entry, until Back at that top level.
bool EditCharacter(Console& con, const std::string& dir, const RosterEntry& entry);

// Runs one form's CVAR page until its Back item.
bool EditForm(Console& con, const std::string& dir, const RosterEntry& entry,
              const FormEntry& form);

// Asks for the value of one CVAR and appends its assignment line.
bool EnterCvarValue(Console& con, const std::string& dir, const RosterEntry& entry,
                    const std::string& name);
