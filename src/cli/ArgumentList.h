#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq::cli {

struct OptionSpec {
    std::string_view Name; // with its dashes, e.g. "--from"
    bool TakesValue = false;
};

// The words after a command: options (in any place, "--name value" or "--name=value") and operands. "--" ends the
// options. "--help" is always accepted, and when it is given nothing else is checked.
class ArgumentList {
public:
    // Throws a usage CliError naming the command for an unknown or repeated option or a missing value.
    ArgumentList(std::string_view command, std::span<const std::string_view> words,
                 std::initializer_list<OptionSpec> options);

    bool HelpRequested() const { return Help; }
    bool Has(std::string_view name) const;
    std::optional<std::string_view> Value(std::string_view name) const;
    // Throws a usage error when the option was not given.
    std::string_view RequiredValue(std::string_view name) const;

    // Throws a usage error unless exactly the named operands were given (names as in the synopsis, e.g. "IN OUT").
    void ExpectOperands(std::initializer_list<std::string_view> names) const;
    std::string_view Operand(std::size_t index) const { return Operands[index]; }
    std::size_t OperandCount() const { return Operands.size(); }

private:
    struct Given {
        std::string_view Name;
        std::optional<std::string_view> Value;
    };
    [[noreturn]] void Fail(const std::string &cause) const;

    std::string Command;
    std::vector<Given> Options;
    std::vector<std::string_view> Operands;
    bool Help = false;
};

// The short names of miles and kilometers, taken beside the long names by the options that choose a unit.
constexpr std::array<std::string_view, 2> ShortUnitNames = {"mi", "km"};

// The one candidate that text begins with, ignoring case; nothing when none or several do.
std::optional<std::size_t> MatchPrefix(std::string_view text, std::span<const std::string_view> candidates);

// The index of the name that an option's value begins (or, when given, of the plural or the short name it is),
// 0 when the option was not given. Throws a usage error "<command>: <option> '<value>': not one of <choices>".
std::size_t ChooseName(const ArgumentList &args, std::string_view command, std::string_view option,
                       std::span<const std::string_view> names, std::string_view choices,
                       std::span<const std::string_view> plurals = {},
                       std::span<const std::string_view> shortNames = {});

} // namespace pq::cli
