#include "editor/editor.h"

#include <vector>

#include "console/menu.h"
#include "console/readint.h"
#include "files/writers.h"

namespace {

constexpr int kCvarCount = 12;
constexpr const char* kBack = "Back to last page...";

std::vector<MenuItem> formsmenu(const RosterEntry& entry) {
  std::vector<MenuItem> items;
  for (const FormEntry& form : entry.forms) {
    const auto number = static_cast<ConsoleColour>(items.size() + 1);
    items.push_back({std::string(form.label), number, false});
  }
  items.push_back({kBack, static_cast<ConsoleColour>(items.size() + 1), true});
  return items;
}

std::vector<MenuItem> cvarpage(const FormEntry& form) {
  std::vector<MenuItem> items;
  for (int n = 1; n <= kCvarCount; ++n) {
    items.push_back({cvarname(form, n), static_cast<ConsoleColour>(n), false});
  }
  items.push_back({kBack, kCvarCount + 1, true});
  return items;
}

}  // namespace

bool EditCharacter(Console& con, const std::string& dir, const RosterEntry& entry) {
  appendheader(con.out, dir, entry);
  if (entry.forms.size() == 1) {
    return EditForm(con, dir, entry, entry.forms.front());
  }
  const std::vector<MenuItem> menu = formsmenu(entry);
  const auto back = static_cast<int>(menu.size());
  for (;;) {
    const int choice = runmenu(con, "\nForms:", menu);
    if (choice == kInputEnded || choice == back) {
      return choice == back;
    }
    if (!EditForm(con, dir, entry, entry.forms[static_cast<std::size_t>(choice - 1)])) {
      return false;
    }
  }
}

bool EditForm(Console& con, const std::string& dir, const RosterEntry& entry,
              const FormEntry& form) {
  const std::vector<MenuItem> page = cvarpage(form);
  for (;;) {
    const int choice = runmenu(con, "\nCVARs:", page);
    if (choice == kInputEnded || choice == kCvarCount + 1) {
      return choice != kInputEnded;
    }
    if (!EnterCvarValue(con, dir, entry, page[static_cast<std::size_t>(choice - 1)].text)) {
      return false;
    }
  }
}

bool EnterCvarValue(Console& con, const std::string& dir, const RosterEntry& entry,
                    const std::string& name) {
  for (;;) {
    con.out << "Input value for CVAR: ";
    const IntRead value = readint(con);
    if (value.status == ReadStatus::kEnded) {
      return false;
    }
    if (value.status == ReadStatus::kValue) {
      appendcvar(con.out, dir, entry, name, value.value);
      return true;
    }
  }
}
