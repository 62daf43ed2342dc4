// Whole games as a player played them, replayed through the real handlers:
// each must still be won, at the same tick (the ball's last motion tick and
// the nine of the exit animation), and lost without its last press. Any
// change to how a real game plays out breaks them. solve_level (solver/) makes
// such games.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/recorded_game.h"

namespace {

struct GameFile {
  const char* name;
  int wonAtTick;
};

class RecordedGames : public FormTest, public testing::WithParamInterface<GameFile> {
 protected:
  // A fresh window for each replay.
  void Fresh() {
    form = std::make_unique<TMainForm>();
    platform::SetActiveWindowForTest(form->Window.get());
    sounds.clear();
  }
};

TEST_P(RecordedGames, AreWonAtTheirTickAndLostWithoutTheirLastPress) {
  std::string error;
  const RecordedGame game =
      ReadRecordedGame(std::string(QUILLAMOR_SOURCE_DIR "/tests/games/") + GetParam().name, error);
  ASSERT_EQ(error, "");
  ASSERT_FALSE(game.presses.empty());
  EXPECT_EQ(Replay(*form, game), GetParam().wonAtTick);
  EXPECT_TRUE(Shows(form->Frames[0], 0, 0));
  EXPECT_EQ(Played(form->SoundWow), 1);
  Fresh();
  EXPECT_EQ(Replay(*form, game, static_cast<int>(game.presses.size()) - 1, 5000), -1);
  EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
}

INSTANTIATE_TEST_SUITE_P(Files, RecordedGames, testing::Values(GameFile{"difficulty1.game", 243}, GameFile{"difficulty2.game", 365},
                                         GameFile{"difficulty3.game", 434}),
                         [](const auto& info) {
                           const std::string name = info.param.name;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
