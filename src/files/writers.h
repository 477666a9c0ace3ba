#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "editor/roster.h"

// The four writers of the game folder `dir` (empty: the working directory).
// Each opens its file, writes one text and closes it again. A text that does
// not reach its file in full is reported on `console` as
// "Error: unable to write to <file name>!"; each returns whether it was written.

inline constexpr std::string_view kMarkerName = "firstruncheck.voxa";
inline constexpr std::string_view kAutoexecName = "autoexec.cfg";

// The path of `name` in the game folder `dir`.
std::string pathin(const std::string& dir, std::string_view name);

// Appends "// <title> CVARs..." to the entry's character script.
bool appendheader(std::ostream& console, const std::string& dir, const RosterEntry& entry);

// Appends "<name> <value>" to the entry's character script.
bool appendcvar(std::ostream& console, const std::string& dir, const RosterEntry& entry,
                const std::string& name, std::int32_t value);

// Appends the start-up block, one exec line per roster entry, to autoexec.cfg.
bool appendexecblock(std::ostream& console, const std::string& dir);

// Replaces the first-run marker with "no".
bool writemarker(std::ostream& console, const std::string& dir);

// The start-up block as it is appended to autoexec.cfg.
std::string execblock();
