#include "program.h"

#include <vector>

#include "console/menu.h"
#include "editor/editor.h"
#include "editor/roster.h"
#include "first_run.h"

namespace {

constexpr ConsoleColour kExitColour = 3;

std::vector<MenuItem> selectionmenu() {
  std::vector<MenuItem> items;
  for (const RosterEntry& entry : g_Roster) {
    items.push_back({std::string(entry.label), entry.colour, false});
  }
  items.back().blankLineAfter = true;
  items.push_back({"Exit", kExitColour, true});
  return items;
}

}  // namespace

void RunEditor(Console& con, const std::string& dir) {
  // An unreadable marker counts as a first run, so a program copied alone
  // into the game folder still registers its scripts.
  int firstRun = 1;
  Config(con, dir, &firstRun);
  FirstRunStep(con, dir, firstRun);
  con.out << "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!" << std::endl;
  con.out << "Please select a character from below...\n\n";
  SelectCharacters(con, dir);
}

void SelectCharacters(Console& con, const std::string& dir) {
  const std::vector<MenuItem> menu = selectionmenu();
  const auto exit = static_cast<int>(menu.size());
  for (;;) {
    const int choice = runmenu(con, "Characters:", menu);
    if (choice == kInputEnded || choice == exit) {
      return;
    }
    if (!EditCharacter(con, dir, g_Roster[static_cast<std::size_t>(choice - 1)])) {
      return;
    }
  }
}
