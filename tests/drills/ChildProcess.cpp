#include "ChildProcess.h"

#include <csignal>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(2);
constexpr mode_t OutputMode = 0644;

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string> &arguments, const std::string &outputPath,
                           const std::string &errorPath) {
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     OutputMode);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     OutputMode);
    Start = std::chrono::steady_clock::now();
    if (posix_spawn(&Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        Pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        Kill();
        Wait(std::chrono::milliseconds::max());
    }
}

bool ChildProcess::Running() {
    if (Pid <= 0 || Reaped) {
        return false;
    }
    int status = 0;
    rusage usage{};
    if (::wait4(Pid, &status, WNOHANG, &usage) != Pid) {
        return true;
    }
    Ended = std::chrono::steady_clock::now();
    Reaped = true;
    ExitedNormally = WIFEXITED(status);
    Code = ExitedNormally ? WEXITSTATUS(status) : -1;
    EndSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    PeakRss = usage.ru_maxrss;
    return false;
}

void ChildProcess::Kill() {
    if (Pid > 0 && !Reaped) {
        ::kill(Pid, SIGKILL);
    }
}

bool ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = timeout == std::chrono::milliseconds::max() ? std::chrono::steady_clock::time_point::max()
                                                                      : std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
    return true;
}
