// kill_after MICROSECONDS PROGRAM ARGS...: for kill_test.sh, runs the program (its input and
// output on /dev/null) and kills it (SIGKILL) that long after starting it, unless it has ended.
// MICROSECONDS -1: never kills, and prints how many microseconds the run took. The exit status
// is the program's, or 128 + the signal that ended it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const long long delay = std::atoll(argv[1]);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    if (delay >= 0) {
        timespec wait{static_cast<time_t>(delay / 1000000),
                      static_cast<long>(delay % 1000000) * 1000};
        while (nanosleep(&wait, &wait) != 0) {
        }
        kill(pid, SIGKILL);  // an ended child stays a zombie until waited for: its id is still ours
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return 2;
    if (delay < 0) {
        const auto took = std::chrono::steady_clock::now() - start;
        std::printf("%lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}
