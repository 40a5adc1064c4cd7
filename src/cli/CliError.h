#pragma once

#include <stdexcept>
#include <string>

namespace pq::cli {

// Exit codes, as the help texts document them.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1; // bad data, a file that cannot be read or written, a refused input
inline constexpr int ExitUsage = 2;   // an unknown command or option, a missing or malformed argument

// A failure that ends the command: its text ("<what>: <cause>") goes to standard error after "pquil: ".
class CliError : public std::runtime_error {
public:
    CliError(int exitCode, const std::string &message) : std::runtime_error(message), ExitCode(exitCode) {}
    int Code() const { return ExitCode; }

private:
    int ExitCode;
};

} // namespace pq::cli
