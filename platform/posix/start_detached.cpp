// Starting a program detached, the same on every POSIX system (Linux now, a
// later macOS back end too).

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/system.h"

namespace platform {

std::uint32_t StartDetached(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  // `start FILE` opens the file with the desktop's opener.
  char opener[] = "xdg-open";
  if (words[0] == "start") argv[0] = opener;

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

}  // namespace platform
