// How long a test lets the program take. The i686 build runs here under
// emulation, several times slower than on a machine of its own; the test run
// says how much slower in VELTRO_SLOWDOWN (a whole factor, 1 when unset), and
// every limit on time stretches by it.
#pragma once

#include <windows.h>

#include <cstdlib>

inline DWORD TimeLimit(DWORD milliseconds) {
  char factor[8] = {};
  const DWORD length = GetEnvironmentVariableA("VELTRO_SLOWDOWN", factor, sizeof factor);
  const long scale = length > 0 && length < sizeof factor ? std::strtol(factor, nullptr, 10) : 1;
  return scale > 1 ? milliseconds * static_cast<DWORD>(scale) : milliseconds;
}
