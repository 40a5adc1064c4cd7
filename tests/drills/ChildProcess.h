#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

// A program run by a drill, its standard output and error sent to files (by default thrown away), watched from outside:
// it can be killed at any moment, and once it has ended its exit code, the signal that ended it and its peak memory are
// known.
class ChildProcess {
public:
    static constexpr char NullDevice[] = "/dev/null";

    ChildProcess(const std::vector<std::string> &arguments, const std::string &outputPath = NullDevice,
                 const std::string &errorPath = NullDevice);
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    // A child still running is killed and reaped.
    ~ChildProcess();

    bool Started() const { return Pid > 0; }
    // Reaps the child if it has ended; true while it runs.
    bool Running();
    void Kill();
    // Waits until the child ends or the time is up; true when it has ended.
    bool Wait(std::chrono::milliseconds timeout);

    // Valid once the child has ended.
    bool Exited() const { return ExitedNormally; }
    int ExitCode() const { return Code; }
    int Signal() const { return EndSignal; }
    // As the system counts it: at least the parent's own peak at the time of the start.
    long PeakRssKiB() const { return PeakRss; }
    std::chrono::duration<double> Elapsed() const { return Ended - Start; }

private:
    pid_t Pid = -1;
    bool Reaped = false;
    bool ExitedNormally = false;
    int Code = -1;
    int EndSignal = 0;
    long PeakRss = 0;
    std::chrono::steady_clock::time_point Start;
    std::chrono::steady_clock::time_point Ended;
};
