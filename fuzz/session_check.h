#pragma once

#include <string>
#include <string_view>

#include "editor/roster.h"

// What a session may leave behind, whatever it was given. Each check returns
// what is wrong, or an empty text when nothing is.

// One line of the entry's script, without its line end: the entry's header
// comment line, or one of the entry's own CVAR names, one blank and a value
// of the signed 32-bit range in plain decimal (no plus sign, no leading zero).
std::string ScriptLineFault(const RosterEntry& entry, std::string_view line);

// A whole script: the header comment line first, then any lines as above,
// every one with its line end.
std::string ScriptFault(const RosterEntry& entry, std::string_view text);

// Standard output as a pipe receives it: printable ASCII, the bell and line
// ends, nothing else.
std::string OutputFault(std::string_view text);

// Runs one whole session in the folder `dir`, emptied first, on `bytes`: the
// first byte seeds the first-run marker with "yes" when it is odd and "no"
// when it is even, the rest is the standard input. Then checks the output,
// every script, the marker and autoexec.cfg, and that no other file appeared.
std::string SessionFault(const std::string& dir, std::string_view bytes);
