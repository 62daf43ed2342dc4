// The main window's life: creation with every asset, the first show with the
// difficulty question and the sound probe, painting, and closing.

#include "ui/main_form.h"

#include <stdexcept>
#include <string>

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/resources.h"
#include "ui/question_form.h"

namespace {

std::span<const std::uint8_t> LoadSound(const char* name) {
  auto image = platform::FindResource(platform::ResourceKind::Wave, name);
  if (image.empty()) throw std::runtime_error(std::string("missing sound ") + name);
  return image;
}

}  // namespace

TMainForm::TMainForm() {
  platform::WindowOptions options;
  options.caption = "Quillamor2000";
  options.clientWidth = CLIENT_WIDTH;
  options.clientHeight = CLIENT_HEIGHT;
  options.iconResource = "MAINICON";
  options.isMainWindow = true;
  Window = std::make_unique<platform::Window>(options, this);
  Window->SetCursor(platform::CURSOR_HANDPOINT);

  Timer1.SetEnabled(false);
  Timer1.SetInterval(33);
  Timer1.SetResolution(33);
  Timer1.Loaded();
  Timer2.SetEnabled(false);
  Timer2.SetInterval(70);
  Timer2.SetResolution(70);
  Timer2.Loaded();

  FormCreate();
}

TMainForm::~TMainForm() {
  if (Board) FormClose();  // closed without the window's close request
}

void TMainForm::FormCreate() {
  // Bar halves show an arrow the way a press moves them.
  platform::RegisterCursor(CURSOR_DOWN, "CUR_DOWN");
  platform::RegisterCursor(CURSOR_UP, "CUR_UP");
  platform::RegisterCursor(CURSOR_LEFT, "CUR_LEFT");
  platform::RegisterCursor(CURSOR_RIGHT, "CUR_RIGHT");
  BoardLeft = BOARD_LEFT;
  BoardTop = BOARD_TOP;
  Random.Seed(platform::UtcMillisecondsOfDay());
  Board = std::make_unique<TBoard>();
  SavedBoard = std::make_unique<TBoard>();
  LevelReady = false;
  ScreenMode = SCREEN_TITLE;
  SoundOn = true;
  SoundBam = LoadSound("Bam");
  SoundMove = LoadSound("Move");
  SoundOut = LoadSound("Out");
  SoundWow = LoadSound("Wow");
  SoundSelect = LoadSound("Select");
  SoundStart = LoadSound("Start");
  Walpaper.Load("Walpaper");
  Title.Load("Title");
  Main.Load("Main");
  MainOff.Load("MainOff");
  Next.Load("Next");
  NextOff.Load("NextOff");
  Again.Load("Again");
  AgainOff.Load("AgainOff");
  Game.Load("Game");
  Site.Load("Site");
  Vertical.Load("Vertical");
  Horizont.Load("Horizont");
  Exit.Load("Exit");
  Ball.Load("Ball");
  NoBall.Load("NoBall");
  NoV.Load("NoV");
  NoH.Load("NoH");
  Frames[0].Load("WOW");
  for (int n = 1; n <= 8; ++n) Frames[n].Load("Out" + std::to_string(n));
  GameHover = SiteHover = NextHover = AgainHover = MainHover = false;
  Timer1.SetOnTimer([this](TcsCustomTimer* Sender) { Timer1Timer(Sender); });
  Timer2.SetOnTimer([this](TcsCustomTimer* Sender) { Timer2Timer(Sender); });
}

void TMainForm::Show() {
  FormShow();
  if (platform::QuitPosted()) return;  // closed while the question was up
  Window->Show();
  Window->Activate();
}

void TMainForm::FormShow() {
  if (QuestionForm != nullptr) {
    if (QuestionForm->ShowModal() != TQuestionForm::mrOk) return;
    Difficulty = QuestionForm->Tag;
  }
  // The start jingle doubles as the probe of the sound device.
  try {
    if (platform::PlaySoundImage(SoundStart, platform::PlayMode::Async)) {
      SoundOn = true;
    } else {
      SoundOn = false;
      platform::MessageBox(Window.get(), platform::ApplicationTitle(), MESSAGE_NO_SOUND);
    }
  } catch (const std::exception&) {
    SoundOn = false;
  }
}

void TMainForm::FormPaint() {
  switch (ScreenMode) {
    case SCREEN_TITLE:
      Draw(Title, 0, 0);
      break;
    case SCREEN_GAME:
      Draw(Walpaper, 0, 0);
      DrawBoard();
      DrawBall();
      break;
    case SCREEN_WIN:
      Draw(Frames[0], 0, 0);
      break;
    default:
      break;
  }
}

void TMainForm::FormClose() {
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  Board.reset();
  SavedBoard.reset();
}

void TMainForm::Draw(const platform::Bitmap& picture, int x, int y) { Window->Draw(picture, x, y); }

void TMainForm::PlaySound(std::span<const std::uint8_t> image, platform::PlayMode mode) {
  if (!SoundOn) return;
  // A sound played to its end blocks the window: show what was drawn first.
  if (mode == platform::PlayMode::Sync) Window->Present();
  // A sound that cannot play is simply not heard: the next one tries the
  // device again, so a card that comes back (plugged in again, its sound
  // server restarted) is heard from the next sound on.
  try {
    platform::PlaySoundImage(image, mode);
  } catch (const std::exception&) {
  }
}
