// Runs a command (standard output to /dev/null) and prints its peak resident size in
// kB. A small launcher of its own: the peak of a child is the larger of what it had
// before and after its exec, so a large launcher (a script interpreter) would hide
// the peak of a smaller program.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: peak_rss COMMAND [ARG...]\n");
    return 2;
  }
  const pid_t pid = fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  std::printf("%ld\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
