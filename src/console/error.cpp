#include "console/error.h"

void showerror(std::ostream& out, std::string_view text) {
  out << '\a';
  out << text;
}
