#include "log/LogScan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "log/LogEntry.h"
#include "log/LogReader.h"
#include "log/WorkThreads.h"

namespace pq {

namespace {

// How far past a planned split the next record marker is looked for, per read.
constexpr std::size_t MarkerSearchStep = std::size_t{64} << 10;
// The first bytes of a file, read to guess the format state in which the later parts begin.
constexpr std::size_t FormatProbeBytes = 4096;

struct Part {
    off_t Begin = 0;
    off_t End = 0;
    ReadState Begins; // the state the part begins in
    ReadState Ends;   // the state it left
    int Error = 0;
    ByteHash Hash;
};

class DiscardRows : public RowSink {
public:
    void TakeRow(std::string_view) override {}
};

// Reads the part's bytes in blocks through one reader; records the state it ends in and any error, and the hash of
// its bytes when asked to.
void ReadPart(int fd, Part &part, RowSink &sink, std::size_t blockSize, bool hash) {
    const auto block = std::make_unique_for_overwrite<char[]>(blockSize);
    LogReader reader(sink, part.Begins);
    part.Hash = ByteHash(static_cast<std::uint64_t>(part.Begin));
    for (off_t at = part.Begin; at < part.End;) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(part.End - at, static_cast<off_t>(blockSize)));
        const ssize_t got = ReadSomeAt(fd, block.get(), want, at);
        if (got < 0) {
            part.Error = errno;
            return;
        }
        if (got == 0) {
            break; // the file shrank while it was read
        }
        const std::string_view bytes(block.get(), static_cast<std::size_t>(got));
        reader.Feed(bytes);
        if (hash) {
            part.Hash.Feed(bytes);
        }
        at += got;
    }
    reader.Finish();
    part.Ends = reader.State();
}

// Reads a file that is not regular (or not worth splitting) from where it stands to its end.
ScanResult ReadInOrder(int fd, RowSink &sink, std::size_t blockSize, ByteHash *hash) {
    const auto block = std::make_unique_for_overwrite<char[]>(blockSize);
    LogReader reader(sink);
    for (;;) {
        const ssize_t got = ::read(fd, block.get(), blockSize);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {errno, 1};
        }
        if (got == 0) {
            break;
        }
        const std::string_view bytes(block.get(), static_cast<std::size_t>(got));
        reader.Feed(bytes);
        if (hash != nullptr) {
            hash->Feed(bytes);
        }
    }
    reader.Finish();
    return {0, 1};
}

// The offset just after the first record marker at or after from, or size when there is none.
off_t AfterMarker(int fd, off_t from, off_t size, int &error) {
    std::vector<char> window(MarkerSearchStep);
    for (off_t at = from; at < size;) {
        const ssize_t got = ReadSomeAt(fd, window.data(), window.size(), at);
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            return size;
        }
        if (const void *marker = std::memchr(window.data(), RecordMarker, static_cast<std::size_t>(got))) {
            return at + (static_cast<const char *>(marker) - window.data()) + 1;
        }
        at += got;
    }
    return size;
}

// The state that the start of the file leaves: the likely state at every later split.
ReadState GuessState(int fd, off_t size, int &error) {
    std::vector<char> start(static_cast<std::size_t>(std::min<off_t>(size, FormatProbeBytes)));
    const ssize_t got = ReadSomeAt(fd, start.data(), start.size(), 0);
    if (got < 0) {
        error = errno;
        return {};
    }
    DiscardRows discard;
    LogReader probe(discard);
    probe.Feed(std::string_view(start.data(), static_cast<std::size_t>(got)));
    return probe.State();
}

std::vector<Part> PlanParts(int fd, off_t size, std::size_t count, int &error) {
    std::vector<Part> parts(1);
    const ReadState guess = count > 1 ? GuessState(fd, size, error) : ReadState{};
    for (std::size_t i = 1; i < count && error == 0; ++i) {
        const off_t planned = static_cast<off_t>(static_cast<std::size_t>(size) / count * i);
        const off_t split = AfterMarker(fd, std::max(planned, parts.back().Begin), size, error);
        if (split >= size) {
            break;
        }
        parts.back().End = split;
        parts.push_back({split, size, guess, guess, 0, ByteHash()});
    }
    parts.back().End = size;
    return parts;
}

} // namespace

ScanResult ScanLogFile(int fd, const PartSinks &sinks, std::size_t parts, std::size_t blockSize, std::size_t minimum,
                       ByteHash *hash) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return {errno, 0};
    }
    if (S_ISDIR(info.st_mode)) {
        return {EISDIR, 0};
    }
    blockSize = std::max(blockSize, std::size_t{1});
    if (hash != nullptr) {
        *hash = ByteHash();
    }
    if (!S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) < minimum || parts < 2) {
        return ReadInOrder(fd, sinks(0), blockSize, hash);
    }
    int error = 0;
    std::vector<Part> plan = PlanParts(fd, info.st_size, parts, error);
    if (error != 0) {
        return {error, 0};
    }
    // Each part's sink is fetched before the threads start, so that the callback is never run concurrently.
    std::vector<RowSink *> partSinks;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        partSinks.push_back(&sinks(i));
    }
    const bool hashParts = hash != nullptr;
    RunInParts(plan.size(), [&](std::size_t i) { ReadPart(fd, plan[i], *partSinks[i], blockSize, hashParts); });
    // A part that began in another state than the one the part before it left (a header line met inside a part)
    // is read again from its start in the right one.
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (i > 0 && plan[i].Begins != plan[i - 1].Ends) {
            plan[i].Begins = plan[i - 1].Ends;
            ReadPart(fd, plan[i], sinks(i), blockSize, hashParts);
        }
        if (plan[i].Error != 0) {
            return {plan[i].Error, 0};
        }
        if (hashParts) {
            hash->Add(plan[i].Hash);
        }
    }
    return {0, plan.size()};
}

} // namespace pq
