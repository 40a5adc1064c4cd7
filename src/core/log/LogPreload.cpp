#include "log/LogPreload.h"

#include <exception>
#include <new>
#include <system_error>
#include <utility>

namespace pq {

LogPreload::LogPreload(std::string path) : File(std::move(path)) {
    try {
        Reader = std::thread([this] { Read(); });
    } catch (const std::system_error &) {
        // No thread to spare: Take reads the file itself.
    }
}

LogPreload::~LogPreload() {
    if (Reader.joinable()) {
        Reader.join();
    }
}

void LogPreload::Read() {
    Before = StatLog(File);
    try {
        Result = LoadLog(File, Rows);
    } catch (const std::exception &error) {
        // Nothing thrown may leave the thread; the opener reports the read as failed.
        Rows.ClearRows();
        Result.Status = LoadStatus::Unreadable;
        try {
            Result.Error = File + ": " + error.what();
        } catch (const std::bad_alloc &) {
            Result.Error.clear();
        }
    }
}

LoadResult LogPreload::Take(LogList &list, LogDiskState &before) {
    if (Reader.joinable()) {
        Reader.join();
    } else {
        Read();
    }
    list = std::move(Rows);
    before = Before;
    return std::move(Result);
}

} // namespace pq
