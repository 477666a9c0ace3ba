#include "console/menu.h"

#include "console/readint.h"

namespace {

constexpr ConsoleColour kPlainText = 7;

void writemenu(Console& con, std::string_view header, const std::vector<MenuItem>& items) {
  con.out << header << std::endl;
  int number = 1;
  for (const MenuItem& item : items) {
    con.setcolour(item.colour);
    con.out << number++ << ". " << item.text;
    if (item.blankLineAfter) {
      con.out << "\n\n";
    } else {
      con.out << std::endl;
    }
  }
  con.setcolour(kPlainText);
  con.out << "Select: ";
}

}  // namespace

int runmenu(Console& con, std::string_view header, const std::vector<MenuItem>& items) {
  const auto count = static_cast<std::int32_t>(items.size());
  for (;;) {
    writemenu(con, header, items);
    const IntRead choice = readint(con);
    if (choice.status == ReadStatus::kEnded) {
      return kInputEnded;
    }
    if (choice.status == ReadStatus::kValue && choice.value >= 1 && choice.value <= count) {
      return choice.value;
    }
    con.out << "Invalid choice..." << std::endl;
  }
}
