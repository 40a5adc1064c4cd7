// Loads a log the way the windowed program does and prints how many rows it holds, so that a drill can watch
// the time and the peak memory of a load from outside the process.
#include <cstdio>
#include <string>

#include "log/LogFile.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: drill_load_log LOG\n");
        return 2;
    }
    pq::LogList list;
    const pq::LoadResult result = pq::LoadLog(argv[1], list);
    if (result.Status == pq::LoadStatus::Unreadable) {
        std::fprintf(stderr, "%s\n", result.Error.c_str());
        return 1;
    }
    std::printf("%d\n", list.RowCount());
    return 0;
}
