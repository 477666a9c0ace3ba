#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"

struct MenuItem {
  std::string text;
  ConsoleColour colour;
  bool blankLineAfter;  // the item closes a group: a blank line follows it
};

// What runmenu returns when the input has ended: never a valid choice.
constexpr int kInputEnded = 0;

// Writes the menu, reads choices until one lies between 1 and the number of
// items, and returns it. Anything else is answered with "Invalid choice..."
// and the whole menu again.
int runmenu(Console& con, std::string_view header, const std::vector<MenuItem>& items);
