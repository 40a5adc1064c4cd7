#include <cstdio>
#include <new>
#include <string_view>
#include <vector>

#include "cli/CliError.h"
#include "cli/Pquil.h"

int main(int argc, char **argv) {
    // RunPquil reports its own failures; only the list of words is made outside it.
    try {
        const std::vector<std::string_view> words(argv + 1, argv + argc);
        return pq::cli::RunPquil(words);
    } catch (const std::bad_alloc &) {
        std::fputs("pquil: not enough memory\n", stderr);
    }
    return pq::cli::ExitFailure;
}
