#pragma once

#include <string>
#include <string_view>

// Plain text files, one open, one write and one close a call. Every "\n" in
// the text becomes the platform's text line end; nothing else is changed.

// Appends `text` to the file, creating it if it is missing. When any part of
// the text cannot be written, the file is cut back to the length it had, so
// that no torn line is left for the next one to be glued to.
// Returns whether the whole text reached the file.
bool AppendTextFile(const std::string& path, std::string_view text);

// Replaces the file's content with `text`, creating the file if it is missing.
// Returns whether the whole text reached the file.
bool ReplaceTextFile(const std::string& path, std::string_view text);
