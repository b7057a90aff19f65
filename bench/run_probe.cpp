// run_probe RESULT-FILE PROGRAM ARGS...: runs PROGRAM and writes "seconds max-RSS-KiB exit"
// to RESULT-FILE.
//
// Why a separate, static, tiny program: Linux counts in a process's peak RSS the memory of
// the image it replaced at exec, so a child started by the benchmark itself would never show
// less than the benchmark's own peak. A child forked from this small process starts from
// almost nothing, so wait4() reports what the measured program really used.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: run_probe RESULT-FILE PROGRAM ARGS...\n", stderr);
        return 2;
    }
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return 2;
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                           static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return 2;
    // The processor time (user and system) after the rest: a reader of the first three is
    // unaffected.
    const double processor =
        static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::fprintf(out, "%.6f %ld %d %.6f\n", seconds, usage.ru_maxrss, code, processor);
    return std::fclose(out) == 0 ? 0 : 2;
}
