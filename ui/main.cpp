// Program entry: the main window, the difficulty dialog, the message loop.

#include <cstdio>
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
  TMainForm mainForm;
  TQuestionForm questionForm;
  mainForm.QuestionForm = &questionForm;
  mainForm.Show();
  platform::RunMessageLoop();
  // The main window has closed (FormClose has stopped the timers and let go
  // of the boards): the program ends here.
  platform::ExitProgram(0);
}
