// The desktop services the game stands on: resources by name, posted
// messages and the pump, events handled in batches, the clocks, sound from memory, the launcher and
// the readers of cursor and icon files.

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/app.h"
#include "platform/internal.h"
#include "platform/launch.h"
#include "platform/messages.h"
#include "platform/mmtimer.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "platform/cursor_icon_files.h"
#include "tests/queued_events.h"
#include "tests/test_support.h"

namespace {

using platform::ResourceKind;

TEST(Resources, AreFoundByKindAndNameWithoutRegardToCase) {
  const auto walpaper = platform::FindResource(ResourceKind::Bitmap, "Walpaper");
  ASSERT_FALSE(walpaper.empty());
  EXPECT_EQ(platform::FindResource(ResourceKind::Bitmap, "WALPAPER").data(), walpaper.data());
  EXPECT_EQ(platform::FindResource(ResourceKind::Bitmap, "walpaper").data(), walpaper.data());
  // The win picture and the win fanfare share a name but not a kind.
  const auto picture = platform::FindResource(ResourceKind::Bitmap, "wow");
  const auto sound = platform::FindResource(ResourceKind::Wave, "WOW");
  ASSERT_FALSE(picture.empty());
  ASSERT_FALSE(sound.empty());
  EXPECT_NE(picture.data(), sound.data());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(sound.data()), 4), "RIFF");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(picture.data()), 2), "BM");
}

TEST(Resources, UnknownOrPartialNamesFindNothing) {
  EXPECT_TRUE(platform::FindResource(ResourceKind::Bitmap, "Walpape").empty());
  EXPECT_TRUE(platform::FindResource(ResourceKind::Bitmap, "Walpapers").empty());
  EXPECT_TRUE(platform::FindResource(ResourceKind::Bitmap, "").empty());
  EXPECT_TRUE(platform::FindResource(ResourceKind::Wave, "Walpaper").empty());
}

class PostedMessages : public testing::Test {
 protected:
  void TearDown() override {
    for (auto handle : handles) platform::DeallocateHWnd(handle);
  }
  platform::HWND Make(platform::WindowProc proc) {
    handles.push_back(platform::AllocateHWnd(std::move(proc)));
    return handles.back();
  }
  std::vector<platform::HWND> handles;
};

TEST_F(PostedMessages, ArriveInOrderWithTheirParameters) {
  std::vector<std::uintptr_t> seen;
  auto window = Make([&](std::uint32_t msg, std::uintptr_t w, std::intptr_t l) {
    EXPECT_EQ(msg, platform::WM_USER);
    EXPECT_EQ(l, 7);
    seen.push_back(w);
  });
  for (std::uintptr_t i = 1; i <= 5; ++i) ASSERT_TRUE(platform::PostMessage(window, platform::WM_USER, i, 7));
  platform::ProcessMessages();
  EXPECT_EQ(seen, (std::vector<std::uintptr_t>{1, 2, 3, 4, 5}));
}

TEST_F(PostedMessages, ForADeallocatedHandleAreDropped) {
  int delivered = 0;
  auto window = Make([&](std::uint32_t, std::uintptr_t, std::intptr_t) { ++delivered; });
  platform::PostMessage(window, platform::WM_USER, 0, 0);
  platform::DeallocateHWnd(window);
  platform::ProcessMessages();
  EXPECT_EQ(delivered, 0);
}

TEST_F(PostedMessages, AProcedureMayDeallocateItsOwnWindow) {
  int delivered = 0;
  platform::HWND self = 0;
  self = platform::AllocateHWnd([&](std::uint32_t, std::uintptr_t, std::intptr_t) {
    ++delivered;
    platform::DeallocateHWnd(self);
  });
  platform::PostMessage(self, platform::WM_USER, 0, 0);
  platform::PostMessage(self, platform::WM_USER, 0, 0);
  platform::ProcessMessages();
  EXPECT_EQ(delivered, 1);
}

TEST_F(PostedMessages, OnePassHandlesWhatWasPendingAndThenEnds) {
  // A procedure that posts again on every message would keep a pump that
  // waits for an empty queue busy for ever.
  int delivered = 0;
  platform::HWND window = 0;
  window = Make([&](std::uint32_t, std::uintptr_t, std::intptr_t) {
    ++delivered;
    platform::PostMessage(window, platform::WM_USER, 0, 0);
  });
  platform::PostMessage(window, platform::WM_USER, 0, 0);
  platform::ProcessMessages();
  EXPECT_EQ(delivered, 1);
  platform::ProcessMessages();
  EXPECT_EQ(delivered, 2);
  platform::DeallocateHWnd(window);
  platform::ProcessMessages();
}

TEST_F(PostedMessages, FromOtherThreadsAreHandledOnTheUserInterfaceThread) {
  const auto uiThread = std::this_thread::get_id();
  std::atomic<int> delivered{0};
  bool elsewhere = false;
  auto window = Make([&](std::uint32_t, std::uintptr_t, std::intptr_t) {
    elsewhere |= std::this_thread::get_id() != uiThread;
    ++delivered;
  });
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t)
    posters.emplace_back([window] {
      for (int i = 0; i < 100; ++i) platform::PostMessage(window, platform::WM_USER, 0, 0);
    });
  for (auto& poster : posters) poster.join();
  platform::ProcessMessages();
  EXPECT_EQ(delivered, 400);
  EXPECT_FALSE(elsewhere);
}

// A window that notes each event in turn and marks it with a pixel at x =
// its number; each handler notes too whether the mark before it was on the
// screen by then. A posted message counts as an event.
class EventBatches : public PostedMessages, public platform::WindowEvents {
 protected:
  void SetUp() override { window.Show(); }
  void TearDown() override {
    PostedMessages::TearDown();
    platform::SetTickCountForTest(nullptr);
  }
  void OnMouseDown(int x, int) override { Note('d', x); }
  void OnMouseMove(int x, int) override { Note('m', x); }
  void OnMouseUp(int x, int) override { Note('u', x); }
  void Note(char kind, int x) {
    if (!seen.empty()) shownBefore.push_back(Shown(static_cast<int>(seen.size())));
    seen += kind;
    window.FillRect(x, 0, 1, 1, 0xFF0000);
  }
  bool Shown(int x) const {
    const SDL_Surface* screen = SDL_GetWindowSurface(SDL_GetWindowFromID(window.Id()));
    return static_cast<const Uint32*>(screen->pixels)[x] == SDL_MapRGB(screen->format, 0xFF, 0, 0);
  }
  // Moves, a click and a posted message between press and release: 8 events.
  void Queue() {
    const auto posted = Make([&](std::uint32_t, std::uintptr_t, std::intptr_t) { Note('p', static_cast<int>(seen.size() + 1)); });
    const std::uint32_t types[] = {SDL_MOUSEMOTION, SDL_MOUSEMOTION,   SDL_MOUSEBUTTONDOWN, SDL_MOUSEMOTION,
                                   0,               SDL_MOUSEBUTTONUP, SDL_MOUSEMOTION,     SDL_MOUSEMOTION};
    for (int i = 0; i < 8; ++i) {
      if (types[i] == 0) platform::PostMessage(posted, platform::WM_USER, 0, 0);
      else PushPointer(types[i], window.Id(), i + 1, 0);
    }
  }
  platform::Window window{{"batches", 20, 2}, this};
  std::string seen;
  std::vector<bool> shownBefore;
};

TEST_F(EventBatches, ArriveWholeInOrderAndWhatWasDrawnIsShownOnceTheyAreHandled) {
  platform::SetTickCountForTest([] { return 1000u; });  // no frame passes
  Queue();
  platform::ProcessMessagesUntil([&] { return seen.size() == 6; });
  EXPECT_EQ(seen, "mmdmpu");
  EXPECT_TRUE(Shown(6)) << "what the last handler drew, though two events still wait";
  platform::ProcessMessages();
  EXPECT_EQ(seen, "mmdmpumm");
  EXPECT_TRUE(Shown(8));
  // Shown only where the first pass ended, never between the events of a pass.
  EXPECT_EQ(shownBefore, (std::vector<bool>{false, false, false, false, false, true, false}));
}

TEST_F(EventBatches, AreShownOnceAFrameWhileTheyKeepComing) {
  std::uint32_t now = 0;
  platform::SetTickCountForTest([&] { return now += 20; });  // a frame passes with every event
  Queue();
  platform::ProcessMessages();
  EXPECT_EQ(seen, "mmdmpumm");
  EXPECT_EQ(shownBefore, std::vector<bool>(7, true));
}

TEST(Clocks, TimeOfDayStaysWithinADayAndCanBeReplacedInTests) {
  EXPECT_LT(platform::UtcMillisecondsOfDay(), 24u * 60 * 60 * 1000);
  std::uint32_t next = 500;
  platform::SetClockForTest([&] { return next++; });
  EXPECT_EQ(platform::UtcMillisecondsOfDay(), 500u);
  EXPECT_EQ(platform::UtcMillisecondsOfDay(), 501u);
  platform::SetClockForTest(nullptr);
  EXPECT_LT(platform::UtcMillisecondsOfDay(), 24u * 60 * 60 * 1000);
}

// The tests' time moves only when the platform waits, by what it would
// have slept: a wait that finds a message waiting ends at once.
TEST(Clocks, TestTimeMovesOnlyByTheWaits) {
  const std::uint32_t start = platform::GetTickCount();
  platform::ProcessMessages();
  EXPECT_EQ(platform::GetTickCount(), start);
  platform::WaitMessageTimeout(100);
  EXPECT_EQ(platform::GetTickCount() - start, 100u);
  PushQuit();
  platform::WaitMessageTimeout(100);
  EXPECT_EQ(platform::GetTickCount() - start, 100u);
  SDL_FlushEvent(SDL_QUIT);
}

// A sound played to its end lasts its length, on the tests' clock: the
// device counts its samples as played as that clock moves on.
TEST(Sound, SyncPlayReturnsOnlyWhenTheSoundHasPlayed) {
  const auto bam = platform::FindResource(ResourceKind::Wave, "Bam");
  ASSERT_GT(bam.size(), 44u);
  // Mono 16-bit at 22050 Hz: two bytes a frame.
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(bam.size() - 44);
  const int lengthMs = static_cast<int>(dataBytes / 2 * 1000 / 22050);
  const std::uint32_t start = platform::GetTickCount();
  ASSERT_TRUE(platform::PlaySoundImage(bam, platform::PlayMode::Sync));
  const int waited = static_cast<int>(platform::GetTickCount() - start);
  EXPECT_GE(waited, lengthMs - 5);
  EXPECT_LE(waited, lengthMs + 500);
  EXPECT_EQ(platform::QueuedSoundBytes(), 0u);
}

TEST(Sound, EveryFormatOfTheGamePlaysAndIsNoted) {
  std::vector<platform::PlayedSound> log;
  platform::RecordSoundsForTest(&log);
  for (const char* name : {"Start", "Select", "Move", "Bam", "Out", "Wow"}) {
    const auto image = platform::FindResource(ResourceKind::Wave, name);
    EXPECT_TRUE(platform::PlaySoundImage(image, platform::PlayMode::Async)) << name;
  }
  platform::RecordSoundsForTest(nullptr);
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[5].image, platform::FindResource(ResourceKind::Wave, "Wow").data());
  EXPECT_EQ(log[5].mode, platform::PlayMode::Async);
}

TEST(Sound, ANewerSoundReplacesOneStillPlaying) {
  const auto bam = platform::FindResource(ResourceKind::Wave, "Bam");
  // Mono 16-bit at 22050 Hz, queued in stereo: twice its data. Reading the
  // queue right after a play races the device taking its next buffer.
  const std::uint32_t bamAlone = static_cast<std::uint32_t>(bam.size() - 44) * 2;
  ASSERT_TRUE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Start"), platform::PlayMode::Async));
  ASSERT_GT(platform::QueuedSoundBytes(), bamAlone);  // the long jingle is playing
  ASSERT_TRUE(platform::PlaySoundImage(bam, platform::PlayMode::Async));
  EXPECT_GT(platform::QueuedSoundBytes(), 0u);
  EXPECT_LE(platform::QueuedSoundBytes(), bamAlone);
}

TEST(Sound, AnImageThatIsNoSoundRaises) {
  const std::uint8_t garbage[64] = {'R', 'I', 'F', 'F', 1, 2, 3};
  EXPECT_THROW(platform::PlaySoundImage(garbage, platform::PlayMode::Async), std::runtime_error);
}

// An environment variable set for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* before = getenv(name);
    had_ = before != nullptr;
    if (had_) saved_ = before;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_, saved_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_;
  std::string saved_;
};

TEST(Sound, WithoutADeviceThePlayReportsFailure) {
  platform::CloseSound();
  {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_FALSE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Bam"), platform::PlayMode::Async));
    EXPECT_FALSE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Wow"), platform::PlayMode::Sync));
  }
  platform::CloseSound();
  EXPECT_TRUE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Bam"), platform::PlayMode::Async));
}

// A sound system that starts but finds no device to open is stopped again,
// so that nothing of it (ALSA's device watcher wakes ten times a second)
// stays behind in a silent game.
TEST(Sound, AFailedProbeStopsWhatItStarted) {
  bool alsa = false;
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) alsa |= std::string(SDL_GetAudioDriver(i)) == "alsa";
  if (!alsa) GTEST_SKIP() << "SDL here has no ALSA driver";
  platform::CloseSound();
  {
    ScopedEnv driver("SDL_AUDIODRIVER", "alsa");
    ScopedEnv device("AUDIODEV", "quillamor-no-such-card");
    testing::internal::CaptureStderr();  // ALSA's own complaints
    const bool played = platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Bam"), platform::PlayMode::Async);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(played);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  }
  EXPECT_TRUE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Bam"), platform::PlayMode::Async));
}

// The device goes once it has played everything and stayed quiet; the
// check that the quiet timer runs looks again while sound is queued.
TEST(Sound, AQuietDeviceIsLetGoAndOpensAgainOnTheNextPlay) {
  const auto start = platform::FindResource(ResourceKind::Wave, "Start");  // 1.6 s
  const auto bam = platform::FindResource(ResourceKind::Wave, "Bam");
  ASSERT_TRUE(platform::PlaySoundImage(start, platform::PlayMode::Async));
  ASSERT_TRUE(platform::FireEarliestTimerEventForTest());  // the quiet timer's, a one-shot
  platform::ProcessMessages();
  EXPECT_TRUE(platform::SoundDeviceOpen());
  EXPECT_NE(platform::NextTimerDeadline(), platform::kNoDeadline);  // set again

  ASSERT_TRUE(platform::PlaySoundImage(bam, platform::PlayMode::Sync));  // returns drained
  ASSERT_TRUE(platform::FireEarliestTimerEventForTest());
  platform::ProcessMessages();
  EXPECT_FALSE(platform::SoundDeviceOpen());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  EXPECT_EQ(platform::NextTimerDeadline(), platform::kNoDeadline);

  EXPECT_TRUE(platform::PlaySoundImage(bam, platform::PlayMode::Async));
  EXPECT_TRUE(platform::SoundDeviceOpen());
}

// A sound device that breaks while the game plays: what a synchronous play
// waits, and what becomes of the device. The tick count moves on 10 ms at
// every reading, so waits are counted in readings, not slept.
class BrokenSound : public testing::Test {
 protected:
  void SetUp() override {
    platform::CloseSound();
    platform::SetTickCountForTest([this] {
      now += 10;
      if (now == loseAt) platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::Lost);
      return now;
    });
  }
  void TearDown() override {
    platform::SetTickCountForTest(nullptr);
    platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::None);
    SDL_FlushEvent(SDL_QUIT);
    platform::CloseSound();
  }
  // Plays Wow to its end; the milliseconds the play waited.
  std::uint32_t PlayWow(bool expected) {
    const std::uint32_t before = now;
    EXPECT_EQ(platform::PlaySoundImage(wow, platform::PlayMode::Sync), expected);
    return now - before;
  }

  // Back to the tests' time, for a device that plays again.
  void BackToTestTime() { platform::SetTickCountForTest(nullptr); }

  const std::span<const std::uint8_t> wow = platform::FindResource(ResourceKind::Wave, "Wow");
  // The data after a 44-byte header, at the byte rate the header gives.
  const std::uint32_t wowMs = static_cast<std::uint32_t>(
      (wow.size() - 44) * 1000 / (wow[28] | wow[29] << 8 | wow[30] << 16 | std::uint32_t{wow[31]} << 24));
  std::uint32_t now = 0;
  std::uint32_t loseAt = 0;  // the reading at which the device is unplugged
};

TEST_F(BrokenSound, ASyncPlayWaitsAtMostItsLengthAndHalfASecondThenLetsTheDeviceGo) {
  ASSERT_GT(wowMs, 1000u);
  struct Case {
    const char* what;
    platform::SoundDeviceFault fault;
    std::uint32_t loseAt, least, most;
  } cases[] = {
      {"stuck", platform::SoundDeviceFault::Stalls, 0, wowMs + 500, wowMs + 520},
      {"unplugged before", platform::SoundDeviceFault::Lost, 0, 0, 20},
      {"unplugged half-way", platform::SoundDeviceFault::Stalls, 700, 690, 720},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Bam"), platform::PlayMode::Async));
    platform::BreakSoundDeviceForTest(c.fault);
    loseAt = c.loseAt == 0 ? 0 : now + c.loseAt;
    const std::uint32_t waited = PlayWow(false);
    EXPECT_GE(waited, c.least);
    EXPECT_LE(waited, c.most);
    EXPECT_FALSE(platform::SoundDeviceOpen());
    platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::None);
  }
  // A device that works again plays again.
  BackToTestTime();
  EXPECT_TRUE(platform::PlaySoundImage(wow, platform::PlayMode::Sync));
}

// The program asked to end while the fanfare plays: the signal's quit
// event, or the main window's close button.
TEST_F(BrokenSound, ARequestToEndCutsASyncPlayShortAndStaysQueued) {
  platform::WindowEvents nothing;
  platform::Window main({.caption = "main", .clientWidth = 40, .clientHeight = 30, .isMainWindow = true}, &nothing);
  for (const Uint32 request : {SDL_QUIT, SDL_WINDOWEVENT}) {
    if (request == SDL_QUIT) PushQuit();
    else PushWindowEvent(main.Id(), SDL_WINDOWEVENT_CLOSE);
    EXPECT_LT(PlayWow(true), 100u);
    EXPECT_EQ(platform::QueuedSoundBytes(), 0u);
    // Left for the message loop, which closes the window and ends.
    SDL_Event waiting;
    ASSERT_EQ(SDL_PeepEvents(&waiting, 1, SDL_GETEVENT, request, request), 1);
  }
  BackToTestTime();
  const std::uint32_t start = platform::GetTickCount();
  EXPECT_TRUE(platform::PlaySoundImage(wow, platform::PlayMode::Sync));
  EXPECT_GE(platform::GetTickCount() - start, wowMs - 5);  // nothing asks any more
}

// The quiet timer's look lets go of a lost device at once, and of a stuck
// one when its queue has not moved since the look before.
TEST_F(BrokenSound, TheQuietCheckLetsGoOfADeviceThatStoppedPlaying) {
  for (const auto& [fault, looks] : {std::pair{platform::SoundDeviceFault::Lost, 1}, {platform::SoundDeviceFault::Stalls, 2}}) {
    ASSERT_TRUE(platform::PlaySoundImage(platform::FindResource(ResourceKind::Wave, "Start"), platform::PlayMode::Async));
    platform::BreakSoundDeviceForTest(fault);
    for (int look = 1; look <= looks; ++look) {
      EXPECT_TRUE(platform::SoundDeviceOpen());
      ASSERT_TRUE(platform::FireEarliestTimerEventForTest());
      platform::ProcessMessages();
    }
    EXPECT_FALSE(platform::SoundDeviceOpen());
    platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::None);
  }
}

TEST(Launch, StartTakesTheQuotedFileAlone) {
  EXPECT_EQ(platform::CommandLineToArgv("start \"Quillamor 2000 homepage.url\" more"),
            (std::vector<std::string>{"start", "Quillamor 2000 homepage.url"}));
  EXPECT_EQ(platform::CommandLineToArgv("  echo  a \"b c\"  "), (std::vector<std::string>{"echo", "a", "b c"}));
  EXPECT_TRUE(platform::CommandLineToArgv("   ").empty());
}

TEST(Launch, UnderTestCommandLinesAreNotedNotRun) {
  std::vector<std::string> log;
  platform::RecordCommandLinesForTest(&log);
  EXPECT_GT(platform::WinExec("no-such-program-anywhere \"x\"", 0), 31u);
  EXPECT_LE(platform::WinExec("", 0), 31u);  // nothing to run
  platform::RecordCommandLinesForTest(&IgnoredCommandLines());
  EXPECT_EQ(log, (std::vector<std::string>{"no-such-program-anywhere \"x\""}));
}

TEST(CursorAndIconFiles, CursorsCarryTheirHotSpots) {
  struct Expected {
    const char* name;
    int x, y;
  };
  for (const Expected& e : {Expected{"CUR_DOWN", 15, 5}, Expected{"CUR_UP", 15, 7}, Expected{"CUR_LEFT", 17, 8},
                            Expected{"CUR_RIGHT", 14, 8}}) {
    const auto image = platform::ReadCursor(platform::FindResource(ResourceKind::Cursor, e.name));
    ASSERT_TRUE(image.has_value()) << e.name;
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->hotX, e.x) << e.name;
    EXPECT_EQ(image->hotY, e.y) << e.name;
    // Some of it is drawn, some of it is see-through, and both colours show.
    int drawn = 0, black = 0;
    for (std::size_t i = 0; i < image->mask.size(); ++i) {
      for (int bit = 0; bit < 8; ++bit) {
        drawn += (image->mask[i] >> bit) & 1;
        black += (image->mask[i] & image->data[i]) >> bit & 1;
      }
    }
    EXPECT_GT(drawn, 20) << e.name;
    EXPECT_LT(drawn, 32 * 32 / 2) << e.name;
    EXPECT_GT(black, 0) << e.name;
    EXPECT_LT(black, drawn) << e.name;
  }
}

TEST(CursorAndIconFiles, TheIconIsThirtyTwoSquare) {
  const auto icon = platform::ReadIcon(platform::FindResource(ResourceKind::Icon, "MAINICON"));
  ASSERT_TRUE(icon.has_value());
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(icon->height, 32);
  EXPECT_EQ(icon->argb.size(), 32u * 32u);
}

TEST(CursorAndIconFiles, DamagedFilesAreRefused) {
  const auto cursor = platform::FindResource(ResourceKind::Cursor, "CUR_UP");
  const auto icon = platform::FindResource(ResourceKind::Icon, "MAINICON");
  std::vector<std::uint8_t> bytes(cursor.begin(), cursor.end());
  EXPECT_FALSE(platform::ReadCursor(std::span(bytes).first(bytes.size() - 10)).has_value());
  EXPECT_FALSE(platform::ReadCursor(icon).has_value());  // an icon is no cursor
  EXPECT_FALSE(platform::ReadIcon(cursor).has_value());
  bytes[18] = 0xFF, bytes[19] = 0xFF;  // image offset far past the end
  EXPECT_FALSE(platform::ReadCursor(bytes).has_value());
  EXPECT_FALSE(platform::ReadCursor({}).has_value());
}

}  // namespace
