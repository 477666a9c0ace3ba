#pragma once

#include <ostream>
#include <string>

// A console colour: the low four bits are the foreground on black
// (bit 0 blue, bit 1 green, bit 2 red, bit 3 intensity).
using ConsoleColour = unsigned short;

// Makes `colour` the current text colour of the process's console, which
// `out` writes to. Where the console cannot be coloured (a pipe, a file), the
// call does nothing and the text is written plain.
void setcolor(std::ostream& out, ConsoleColour colour);

// The terminal escape sequence that shows `colour` on black. SGR counts red
// as 1 and blue as 4, the other way round from the console bits.
std::string ansicolour(ConsoleColour colour);
