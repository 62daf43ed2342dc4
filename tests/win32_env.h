#pragma once
// The tests' setenv and unsetenv on Windows, which has _putenv_s instead
// (force-included by tests/CMakeLists.txt for the Windows build).
#include <stdlib.h>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name) != nullptr) return 0;
  return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
