#pragma once
// A timer that ticks with millisecond precision on the user-interface
// thread. The system timer event only posts a message per tick to a hidden
// window of the timer's own, from the message loop's wait, so a tick is
// handled in its turn among the other messages and never inside a handler.

#include <cstdint>
#include <functional>
#include <stdexcept>

#include "platform/messages.h"

class TcsCustomTimer;
using TNotifyEvent = std::function<void(TcsCustomTimer* Sender)>;

// Raised when the system cannot make a timer event.
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TcsCustomTimer {
 public:
  TcsCustomTimer() = default;
  virtual ~TcsCustomTimer() = default;
  TcsCustomTimer(const TcsCustomTimer&) = delete;
  TcsCustomTimer& operator=(const TcsCustomTimer&) = delete;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool OneShot() const { return oneShot_; }
  void SetOneShot(bool value);
  std::int32_t Interval() const { return interval_; }
  void SetInterval(std::int32_t value);
  std::int32_t Resolution() const { return resolution_; }
  void SetResolution(std::int32_t value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

  // All properties have been set: start if the settings say so.
  void Loaded() { ApplySettings(); }

  // For tests: the running system event (0 = none) and the resolution
  // request in force (0 = none).
  std::uint32_t TimerId() const { return timerId_; }
  std::int32_t ActivePeriod() const { return activePeriod_; }

 protected:
  // Stops the timer; the destructor of each timer calls it first.
  virtual void Release();
  // Makes the system timer event; returns its id, 0 on failure.
  virtual std::uint32_t CreateTimerEvent(bool periodic) = 0;

 private:
  void ApplySettings();

  bool enabled_ = true;
  bool oneShot_ = false;
  std::int32_t interval_ = 100;
  std::int32_t activePeriod_ = 0;
  std::int32_t resolution_ = 100;
  std::uint32_t timerId_ = 0;
  TNotifyEvent onTimer_;
};

class TcsHiResTimer : public TcsCustomTimer {
 public:
  TcsHiResTimer();
  ~TcsHiResTimer() override;

 protected:
  void Release() override;
  std::uint32_t CreateTimerEvent(bool periodic) override;

 private:
  void WindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  platform::HWND window_ = 0;
};
