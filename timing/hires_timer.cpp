#include "timing/hires_timer.h"

#include "platform/mmtimer.h"

void TcsCustomTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  ApplySettings();
}

void TcsCustomTimer::SetOneShot(bool value) {
  if (value == oneShot_) return;
  oneShot_ = value;
  ApplySettings();
}

void TcsCustomTimer::SetInterval(std::int32_t value) {
  if (value == interval_) return;
  interval_ = value;
  ApplySettings();
}

void TcsCustomTimer::SetResolution(std::int32_t value) {
  if (value == resolution_) return;
  resolution_ = value > interval_ ? interval_ : value;
  platform::TIMECAPS caps{};
  if (platform::timeGetDevCaps(&caps) != platform::TIMERR_NOERROR) caps = {0, 0};
  if (static_cast<std::int64_t>(caps.wPeriodMin) > resolution_) {
    resolution_ = static_cast<std::int32_t>(caps.wPeriodMin);
  } else if (resolution_ > static_cast<std::int64_t>(caps.wPeriodMax)) {
    resolution_ = static_cast<std::int32_t>(caps.wPeriodMax);
  }
  ApplySettings();
}

void TcsCustomTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  ApplySettings();
}

void TcsCustomTimer::Release() { SetEnabled(false); }

void TcsCustomTimer::ApplySettings() {
  // The running event is always killed, a one-shot's too: a timer that has
  // been disabled must not tick later from an event still pending.
  if (timerId_ != 0 && platform::timeKillEvent(timerId_) == platform::TIMERR_NOERROR) timerId_ = 0;
  if (activePeriod_ != 0 &&
      platform::timeEndPeriod(static_cast<std::uint32_t>(activePeriod_)) == platform::TIMERR_NOERROR)
    activePeriod_ = 0;
  if (interval_ != 0 && enabled_ && onTimer_) {
    activePeriod_ = platform::timeBeginPeriod(static_cast<std::uint32_t>(resolution_)) == platform::TIMERR_NOERROR
                        ? resolution_
                        : 0;
    timerId_ = CreateTimerEvent(!oneShot_);
    if (timerId_ == 0) throw EOutOfResources("Not enough timers available");
  }
}

namespace {

// Called back from the message loop's wait: only posts.
void TimerCallback(std::uint32_t timerId, std::uintptr_t user) {
  platform::PostMessage(static_cast<platform::HWND>(user), platform::WM_USER, timerId, 0);
}

}  // namespace

TcsHiResTimer::TcsHiResTimer() {
  window_ = platform::AllocateHWnd(
      [this](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) { WindowProc(msg, wParam, lParam); });
}

TcsHiResTimer::~TcsHiResTimer() { Release(); }

void TcsHiResTimer::Release() {
  TcsCustomTimer::Release();
  if (window_ != 0) platform::DeallocateHWnd(window_);
  window_ = 0;
}

std::uint32_t TcsHiResTimer::CreateTimerEvent(bool periodic) {
  return platform::timeSetEvent(static_cast<std::uint32_t>(Interval()), static_cast<std::uint32_t>(Resolution()),
                                TimerCallback, window_, periodic ? platform::TIME_PERIODIC : platform::TIME_ONESHOT);
}

void TcsHiResTimer::WindowProc(std::uint32_t msg, std::uintptr_t, std::intptr_t) {
  if (msg != platform::WM_USER) return;
  // An error in the handler goes on to the message loop's guard, which
  // reports it, and the timer keeps running: a one-shot then stays enabled.
  // A tick posted before the handler was taken away finds none.
  if (OnTimer()) OnTimer()(this);
  if (OneShot()) SetEnabled(false);
}
