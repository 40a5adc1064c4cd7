#include "log/LogFileWriter.h"

#include <utility>

namespace pq {

namespace {

// Records gather into blocks of about this size before they are written.
constexpr std::size_t WriteBlockSize = std::size_t{1} << 16;

} // namespace

LogFileWriter::LogFileWriter(std::string path) : File(std::move(path)) {}

bool LogFileWriter::Open() {
    if (!File.Open()) {
        return false;
    }
    Block.reserve(WriteBlockSize + LogHeader.size());
    AppendLogHeader(Block);
    return true;
}

bool LogFileWriter::Append(const RecordTexts &texts) {
    AppendLogRecord(Block, texts);
    return Block.size() < WriteBlockSize || Flush();
}

bool LogFileWriter::Commit() {
    return Flush() && File.Commit();
}

bool LogFileWriter::Flush() {
    const bool written = File.Write(Block);
    Block.clear();
    return written;
}

} // namespace pq
