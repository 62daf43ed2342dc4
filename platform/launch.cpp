#include "platform/launch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {
std::vector<std::string>* g_log = nullptr;
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
  // `start FILE` opens the file with the desktop's opener.
  if (!words.empty() && words[0] == "start") {
    words[0] = "xdg-open";
    if (words.size() > 2) words.resize(2);
  }
  return words;
}

std::uint32_t WinExec(const std::string& commandLine, int) {
  const std::vector<std::string> words = CommandLineToArgv(commandLine);
  if (words.empty()) return 2;  // nothing to run
  if (g_log != nullptr) {
    g_log->push_back(commandLine);
    return 33;
  }
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  // Twice forked, so the child belongs to nobody and leaves no zombie; no
  // terminal, output discarded.
  const pid_t first = fork();
  if (first < 0) return 0;
  if (first == 0) {
    setsid();
    if (fork() == 0) {
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0), dup2(null, 1), dup2(null, 2);
        if (null > 2) close(null);
      }
      execvp(argv[0], argv.data());
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(first, &status, 0);
  return 33;
}

void RecordCommandLinesForTest(std::vector<std::string>* log) { g_log = log; }

}  // namespace platform
