// Program entry: the main window, the difficulty dialog, the message loop.

#include <cstdio>
#include <exception>
#include <string>

#include "platform/app.h"
#include "ui/main_form.h"
#include "ui/question_form.h"

int main() {
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  platform::SetApplicationTitle("Quillamor 2000");
  try {
    TMainForm mainForm;
    TQuestionForm questionForm;
    mainForm.QuestionForm = &questionForm;
    mainForm.Show();
    platform::RunMessageLoop();
  } catch (const std::exception& e) {
    // A window the display cannot show: said, never waited on for ever.
    std::fprintf(stderr, "Quillamor 2000: %s\n", e.what());
    platform::ExitProgram(1);
  }
  // The main window has closed (FormClose has stopped the timers and let go
  // of the boards): the program ends here.
  platform::ExitProgram(0);
}
