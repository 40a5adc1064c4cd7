#include "cli/ArgumentList.h"

#include <algorithm>
#include <cctype>

#include "cli/CliError.h"

namespace pq::cli {

namespace {

constexpr std::string_view HelpOption = "--help";
constexpr std::string_view EndOfOptions = "--";
constexpr char ValueSeparator = '=';

bool LooksLikeOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

char LowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

ArgumentList::ArgumentList(std::string_view command, std::span<const std::string_view> words,
                           std::initializer_list<OptionSpec> options)
    : Command(command) {
    const auto end = std::find(words.begin(), words.end(), EndOfOptions);
    if (std::find(words.begin(), end, HelpOption) != end) {
        Help = true;
        return;
    }
    for (auto it = words.begin(); it != words.end(); ++it) {
        const std::string_view word = *it;
        if (it == end) {
            Operands.insert(Operands.end(), it + 1, words.end());
            break;
        }
        if (!LooksLikeOption(word)) {
            Operands.push_back(word);
            continue;
        }
        const std::size_t separator = word.find(ValueSeparator);
        const std::string_view name = word.substr(0, separator);
        const auto option =
            std::find_if(options.begin(), options.end(), [name](const OptionSpec &s) { return s.Name == name; });
        if (option == options.end()) {
            Fail("unknown option '" + std::string(name) + "'");
        }
        if (Has(name)) {
            Fail("option '" + std::string(name) + "' given twice");
        }
        Given given{option->Name, std::nullopt};
        if (option->TakesValue) {
            if (separator != std::string_view::npos) {
                given.Value = word.substr(separator + 1);
            } else if (it + 1 != end) {
                given.Value = *++it;
            } else {
                Fail("option '" + std::string(name) + "' needs a value");
            }
        } else if (separator != std::string_view::npos) {
            Fail("option '" + std::string(name) + "' takes no value");
        }
        Options.push_back(given);
    }
}

bool ArgumentList::Has(std::string_view name) const {
    return std::any_of(Options.begin(), Options.end(), [name](const Given &g) { return g.Name == name; });
}

std::optional<std::string_view> ArgumentList::Value(std::string_view name) const {
    const auto it = std::find_if(Options.begin(), Options.end(), [name](const Given &g) { return g.Name == name; });
    return it == Options.end() ? std::nullopt : it->Value;
}

std::string_view ArgumentList::RequiredValue(std::string_view name) const {
    const std::optional<std::string_view> value = Value(name);
    if (!value) {
        Fail("option '" + std::string(name) + "' is required");
    }
    return *value;
}

void ArgumentList::ExpectOperands(std::initializer_list<std::string_view> names) const {
    if (Operands.size() < names.size()) {
        Fail("missing " + std::string(names.begin()[Operands.size()]));
    }
    if (Operands.size() > names.size()) {
        Fail("unexpected argument '" + std::string(Operands[names.size()]) + "'");
    }
}

void ArgumentList::Fail(const std::string &cause) const {
    throw CliError(ExitUsage, Command + ": " + cause + " (see 'pquil " + Command + " --help')");
}

std::optional<std::size_t> MatchPrefix(std::string_view text, std::span<const std::string_view> candidates) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::string_view candidate = candidates[i];
        const bool matches = text.size() <= candidate.size() &&
                             std::equal(text.begin(), text.end(), candidate.begin(),
                                        [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
        if (matches) {
            if (found) {
                return std::nullopt;
            }
            found = i;
        }
    }
    return found;
}

std::size_t ChooseName(const ArgumentList &args, std::string_view command, std::string_view option,
                       std::span<const std::string_view> names, std::string_view choices,
                       std::span<const std::string_view> plurals, std::span<const std::string_view> shortNames) {
    const std::optional<std::string_view> value = args.Value(option);
    if (!value) {
        return 0;
    }
    for (std::size_t i = 0; i < shortNames.size(); ++i) {
        if (value->size() == shortNames[i].size() && MatchPrefix(*value, shortNames.subspan(i, 1))) {
            return i;
        }
    }
    std::optional<std::size_t> index = MatchPrefix(*value, names);
    if (!index && !plurals.empty()) {
        index = MatchPrefix(*value, plurals);
    }
    if (!index) {
        throw CliError(ExitUsage, std::string(command) + ": " + std::string(option) + " '" + std::string(*value) +
                                      "': not one of " + std::string(choices));
    }
    return *index;
}

} // namespace pq::cli
