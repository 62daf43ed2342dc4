#pragma once
// Pumping the message queue in tests, with a bound so nothing hangs.

#include <chrono>
#include <functional>
#include <thread>

#include "platform/app.h"

// Handles messages until `done` holds or `timeoutMs` has passed; true when
// `done` held.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 2000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    platform::ProcessMessages();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

// Handles messages for `ms` milliseconds.
inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}
