#pragma once

#include <ostream>
#include <string_view>

// Writes an error message: the bell on its own, then `text`, which carries
// its own line end.
void showerror(std::ostream& out, std::string_view text);
