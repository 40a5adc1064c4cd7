#include "import/ActivityFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/FitReader.h"
#include "import/GpxReader.h"
#include "import/TcxReader.h"
#include "log/Characters.h"

namespace pq {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view DoctypeStart = "<!DOCTYPE";
constexpr std::string_view CsvHeader = "date,distance,time,notes";
constexpr std::size_t FitMinHeader = 12;
constexpr std::size_t FitSignatureAt = 8;
constexpr std::string_view FitSignature = ".FIT";
constexpr std::string_view UnknownFormat = "not a GPX, TCX, FIT or CSV file";

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where the document type declaration at the start of text ends, after its internal subset in brackets (whose
// quoted texts may hold any bracket); npos when the head does not reach its end.
std::size_t DoctypeEnd(std::string_view text) {
    char quote = 0;
    bool inSubset = false;
    for (std::size_t pos = DoctypeStart.size(); pos < text.size(); ++pos) {
        const char c = text[pos];
        if (quote != 0) {
            quote = c == quote ? char{0} : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            inSubset = true;
        } else if (c == ']') {
            inSubset = false;
        } else if (c == '>' && !inSubset) {
            return pos + 1;
        }
    }
    return std::string_view::npos;
}

// The characters of a UTF-16 head after its byte-order mark, those beyond ASCII as '?': enough to find the root.
std::string AsciiOfUtf16(std::string_view head, bool bigEndian) {
    std::string text;
    text.reserve(head.size() / 2);
    for (std::size_t pos = 0; pos + 1 < head.size(); pos += 2) {
        const auto first = static_cast<unsigned char>(head[pos]);
        const auto second = static_cast<unsigned char>(head[pos + 1]);
        const unsigned unit = bigEndian ? (first << 8) | second : (second << 8) | first;
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

// The local name of an XML document's root element, when the head reaches it.
std::string_view RootElement(std::string_view text) {
    for (;;) {
        while (!text.empty() && IsXmlSpace(text.front())) {
            text.remove_prefix(1);
        }
        std::string_view end;
        if (text.starts_with(DoctypeStart)) {
            const std::size_t at = DoctypeEnd(text);
            if (at == std::string_view::npos) {
                return {};
            }
            text.remove_prefix(at);
            continue;
        }
        if (text.starts_with("<?")) {
            end = "?>";
        } else if (text.starts_with("<!--")) {
            end = "-->";
        } else if (text.starts_with("<!")) {
            end = ">";
        } else {
            break;
        }
        const std::size_t at = text.find(end);
        if (at == std::string_view::npos) {
            return {};
        }
        text.remove_prefix(at + end.size());
    }
    if (!text.starts_with('<')) {
        return {};
    }
    text.remove_prefix(1);
    const std::size_t nameEnd = text.find_first_of(" \t\r\n/>");
    if (nameEnd == std::string_view::npos) {
        return {};
    }
    std::string_view name = text.substr(0, nameEnd);
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos) {
        name.remove_prefix(colon + 1);
    }
    return name;
}

bool IsCsvHeader(std::string_view text) {
    const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    return std::equal(line.begin(), line.end(), CsvHeader.begin(), CsvHeader.end(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

FileFormat XmlFormat(std::string_view root) {
    if (root == "gpx") {
        return FileFormat::Gpx;
    }
    if (root == "TrainingCenterDatabase") {
        return FileFormat::Tcx;
    }
    return FileFormat::Unknown;
}

FileActivities Unreadable(const std::string &name, FileFormat format, std::string place, std::string reason) {
    FileActivities result;
    result.Format = format;
    result.Error = ReadError{name, std::move(place), std::move(reason)};
    return result;
}

FileActivities Collect(ActivityReader &reader, FileFormat format, const std::string &name) {
    reader.Finish();
    if (reader.Failed()) {
        ReadError error = reader.Error();
        return Unreadable(name, format, std::move(error.Place), std::move(error.Reason));
    }
    FileActivities result;
    result.Format = format;
    result.Activities = std::move(reader.Activities());
    return result;
}

constexpr std::string_view EnclosedCsv = "a CSV file is read only as a file of its own, not compressed or archived";

class FileHandle {
public:
    explicit FileHandle(int fd) : Fd(fd) {}
    ~FileHandle() {
        if (Fd >= 0) {
            ::close(Fd);
        }
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    int Get() const { return Fd; }

private:
    int Fd;
};

// Fills the block as far as the file goes; the count read, or -1 with errno set.
ssize_t ReadBlock(int fd, std::string &block) {
    std::size_t used = 0;
    while (used < block.size()) {
        const ssize_t got = ::read(fd, block.data() + used, block.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(used);
}

} // namespace

FileFormat DetectFormat(std::string_view head) {
    if (head.size() >= FitMinHeader && static_cast<unsigned char>(head[0]) >= FitMinHeader &&
        head.substr(FitSignatureAt, FitSignature.size()) == FitSignature) {
        return FileFormat::Fit;
    }
    if (head.starts_with(Utf16LittleEndianMark) || head.starts_with(Utf16BigEndianMark)) {
        const bool bigEndian = head.starts_with(Utf16BigEndianMark);
        return XmlFormat(RootElement(AsciiOfUtf16(head.substr(Utf16LittleEndianMark.size()), bigEndian)));
    }
    if (head.starts_with(Utf8ByteOrderMark)) {
        head.remove_prefix(Utf8ByteOrderMark.size());
    }
    if (IsCsvHeader(head)) {
        return FileFormat::Csv;
    }
    return XmlFormat(RootElement(head));
}

std::string_view FormatName(FileFormat format) {
    switch (format) {
    case FileFormat::Gpx:
        return "GPX";
    case FileFormat::Tcx:
        return "TCX";
    case FileFormat::Fit:
        return "FIT";
    case FileFormat::Csv:
        return "CSV";
    case FileFormat::Unknown:
        break;
    }
    return "unknown";
}

std::unique_ptr<ActivityReader> MakeActivityReader(FileFormat format) {
    switch (format) {
    case FileFormat::Gpx:
        return std::make_unique<GpxReader>();
    case FileFormat::Tcx:
        return std::make_unique<TcxReader>();
    case FileFormat::Fit:
        return std::make_unique<FitReader>();
    case FileFormat::Csv:
    case FileFormat::Unknown:
        break;
    }
    return nullptr;
}

FileActivities ReadActivityBytes(std::string_view bytes, const std::string &name) {
    const FileFormat format = DetectFormat(bytes.substr(0, ActivityBlockSize));
    if (format == FileFormat::Csv) {
        return {format, {}, std::nullopt};
    }
    const std::unique_ptr<ActivityReader> reader = MakeActivityReader(format);
    if (!reader) {
        return Unreadable(name, format, {}, std::string(UnknownFormat));
    }
    reader->Feed(bytes);
    return Collect(*reader, format, name);
}

FileActivities Enclosed(FileActivities read, const std::string &name) {
    if (read.Format == FileFormat::Csv) {
        read = Unreadable(name, FileFormat::Csv, {}, std::string(EnclosedCsv));
    }
    read.Plain = false;
    return read;
}

bool HasSuffix(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() && EqualsIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

FileActivities ReadActivityBlocks(const BlockSource &source, const std::string &name) {
    if (HasSuffix(name, GzipSuffix)) {
        // The name without ".gz" tells no more than the content does; only the content decides the format.
        auto inflater = std::make_shared<GzipInflater>(source);
        FileActivities read = ReadActivityBlocks(
            [inflater](std::string &block, std::string &reason) { return inflater->Read(block, reason); },
            name.substr(0, name.size() - GzipSuffix.size()));
        if (read.Error) {
            read.Error->File = name;
        }
        return Enclosed(std::move(read), name);
    }
    std::string block(ActivityBlockSize, '\0');
    std::string reason;
    std::optional<std::size_t> got = source(block, reason);
    if (!got) {
        return Unreadable(name, FileFormat::Unknown, {}, reason);
    }
    const FileFormat format = DetectFormat(std::string_view(block).substr(0, *got));
    if (format == FileFormat::Csv) {
        return {format, {}, std::nullopt};
    }
    const std::unique_ptr<ActivityReader> reader = MakeActivityReader(format);
    if (!reader) {
        return Unreadable(name, format, {}, std::string(UnknownFormat));
    }
    while (*got > 0) {
        reader->Feed(std::string_view(block).substr(0, *got));
        if (reader->Failed()) {
            break;
        }
        got = source(block, reason);
        if (!got) {
            return Unreadable(name, format, {}, reason);
        }
    }
    return Collect(*reader, format, name);
}

FileActivities ReadActivityFile(const std::string &path) {
    // Without waiting on a pipe or a device before its type is known; reads of a regular file never wait anyway.
    const FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        return Unreadable(path, FileFormat::Unknown, {}, std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return Unreadable(path, FileFormat::Unknown, {}, std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Unreadable(path, FileFormat::Unknown, {}, "not a regular file");
    }
    const int fd = file.Get();
    return ReadActivityBlocks(
        [fd](std::string &block, std::string &reason) -> std::optional<std::size_t> {
            const ssize_t got = ReadBlock(fd, block);
            if (got < 0) {
                reason = std::strerror(errno);
                return std::nullopt;
            }
            return static_cast<std::size_t>(got);
        },
        path);
}

} // namespace pq
