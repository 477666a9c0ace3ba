#pragma once

#include <cstdint>

#include "console/console.h"

enum class ReadStatus {
  kValue,    // `value` holds the integer read
  kInvalid,  // no digit, or outside the 32-bit range; the rest of the line is gone
  kEnded,    // the input has ended before anything but white space
};

struct IntRead {
  ReadStatus status;
  std::int32_t value;
};

// Flushes the console's output, then reads one signed 32-bit integer from its
// input. White space, line ends included, is skipped first; reading stops
// before the first character that is not a digit.
IntRead readint(Console& con);
