#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "console/colour.h"

// One form of a character, with its own twelve variables.
struct FormEntry {
  std::string_view label;      // its line in the forms menu; empty for a lone form
  std::string_view cvarToken;  // stands between "class_" and the suffix
};

// One character of the selection menu.
struct RosterEntry {
  int number;
  std::string_view label;
  ConsoleColour colour;
  std::string_view fileToken;  // names the character script
  std::string_view title;      // the name in the script's header comment line
  std::vector<FormEntry> forms;
};

extern const std::array<RosterEntry, 16> g_Roster;
extern const std::array<std::string_view, 12> g_CvarSuffixes;

// "class_", the form's token, "_" and the n-th suffix, n from 1 to 12.
std::string cvarname(const FormEntry& form, int n);

// The file name of the entry's character script.
std::string scriptname(const RosterEntry& entry);
