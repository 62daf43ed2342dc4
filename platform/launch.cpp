#include "platform/launch.h"

#include "platform/seams.h"
#include "platform/system.h"

namespace platform {
namespace {

std::uint32_t StartCommandLine(const std::string& commandLine) { return StartDetached(CommandLineToArgv(commandLine)); }
Launcher g_launcher = StartCommandLine;

}  // namespace

std::vector<std::string> CommandLineToArgv(const std::string& commandLine) {
  // Words split at blanks; double quotes group a word and are removed.
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  // `start FILE` opens the file; what follows it is not for the opener.
  if (words.size() > 2 && words[0] == "start") words.resize(2);
  return words;
}

std::uint32_t WinExec(const std::string& commandLine, int) {
  if (CommandLineToArgv(commandLine).empty()) return 2;  // nothing to run
  return g_launcher(commandLine);
}

void UseLauncher(Launcher launcher) { g_launcher = launcher ? std::move(launcher) : StartCommandLine; }

}  // namespace platform
