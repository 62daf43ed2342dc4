#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr int SW_HIDE = 0;

// Starts a command line as a detached child with no terminal and its output
// discarded. `start "FILE"` opens FILE with the desktop's opener. Returns a
// value above 31 when the child was started.
std::uint32_t WinExec(const std::string& commandLine, int showWindow);

// The program and arguments a command line runs (exposed for tests).
std::vector<std::string> CommandLineToArgv(const std::string& commandLine);

}  // namespace platform
