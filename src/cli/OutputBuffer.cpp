#include "cli/OutputBuffer.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#include "cli/CliError.h"
#include "log/Characters.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"

namespace pq::cli {

namespace {

// Output is written whenever this much has been collected.
constexpr std::size_t FlushThreshold = std::size_t{1} << 20;

constexpr unsigned char FirstPrintable = 0x20;
constexpr unsigned char Delete = 0x7F;
constexpr unsigned char FirstUndefinedRun = 0x80; // 1252 bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D decode to C1 controls
constexpr unsigned char LastUndefinedRun = 0x9F;

constexpr std::string_view ReturnSymbol = "\u21B5";
constexpr std::string_view ReplacementCharacter = "\uFFFD";
constexpr std::string_view HexDigits = "0123456789abcdef";
constexpr std::string_view JsonUnicodeEscape = "\\u00";
constexpr std::size_t ByteValues = 256;

// Each byte's UTF-8 form, taken from the core's code page once.
const std::array<std::string, ByteValues> &Utf8Table() {
    static const std::array<std::string, ByteValues> table = [] {
        std::array<std::string, ByteValues> t;
        for (std::size_t b = 0; b < ByteValues; ++b) {
            const char byte = static_cast<char>(b);
            t[b] = Decode1252ToUtf8(std::string_view(&byte, 1));
        }
        return t;
    }();
    return table;
}

bool IsStoredBreak(std::string_view bytes, std::size_t i) {
    return bytes[i] == StoredLineBreak && i + 1 < bytes.size() && bytes[i + 1] == StoredLineBreak;
}

// A byte that shows as a control character rather than a glyph.
bool IsControl(unsigned char byte) {
    return byte < FirstPrintable || byte == Delete ||
           (byte >= FirstUndefinedRun && byte <= LastUndefinedRun && Utf8Table()[byte].size() == 2 &&
            static_cast<unsigned char>(Utf8Table()[byte][1]) == byte);
}

std::string_view StoredBreakText(TextStyle style) {
    switch (style) {
    case TextStyle::Display:
        return ReturnSymbol;
    case TextStyle::Tsv:
        return "\\n";
    case TextStyle::Csv:
        return "\r\n";
    case TextStyle::Json:
        break;
    }
    return "\\r\\n";
}

// The UTF-8 of one byte that is not part of a stored line break.
void AppendByte(std::string &text, unsigned char byte, TextStyle style) {
    const auto &table = Utf8Table();
    switch (style) {
    case TextStyle::Display:
        if (byte == Tab) {
            text.push_back(' ');
        } else if (IsControl(byte)) {
            text.append(ReplacementCharacter);
        } else {
            text.append(table[byte]);
        }
        break;
    case TextStyle::Tsv:
        if (byte == Backslash) {
            text.append("\\\\");
        } else if (byte == Tab) {
            text.append("\\t");
        } else if (byte == CarriageReturn) {
            text.append("\\r");
        } else if (byte == LineFeed) {
            text.append("\\n");
        } else {
            text.append(table[byte]);
        }
        break;
    case TextStyle::Csv:
        if (byte == Quote) {
            text.append("\"\"");
        } else {
            text.append(table[byte]);
        }
        break;
    case TextStyle::Json:
        if (byte == Quote || byte == Backslash) {
            text.push_back(Backslash);
            text.push_back(static_cast<char>(byte));
        } else if (byte == LineFeed) {
            text.append("\\n");
        } else if (byte == CarriageReturn) {
            text.append("\\r");
        } else if (byte == Tab) {
            text.append("\\t");
        } else if (byte < FirstPrintable) {
            text.append(JsonUnicodeEscape);
            text.push_back(HexDigits[byte >> 4]);
            text.push_back(HexDigits[byte & 0xF]);
        } else {
            text.append(table[byte]);
        }
        break;
    }
}

// A byte that puts its CSV field in quotes (a stored line break does too).
bool IsCsvQuoted(unsigned char byte) {
    return byte == CsvSeparator || byte == Quote || byte == CarriageReturn || byte == LineFeed;
}

constexpr std::size_t StyleCount = 4;
using PlainBytes = std::array<bool, ByteValues>;

// Per style, the bytes it writes exactly as they stand; a stored line break's byte is never one of them, nor in CSV
// a byte that puts its field in quotes, so that those are all met one by one.
const std::array<PlainBytes, StyleCount> &PlainTable() {
    static const std::array<PlainBytes, StyleCount> table = [] {
        std::array<PlainBytes, StyleCount> plain{};
        std::string written;
        for (std::size_t style = 0; style < StyleCount; ++style) {
            for (std::size_t b = 0; b < ByteValues; ++b) {
                written.clear();
                AppendByte(written, static_cast<unsigned char>(b), static_cast<TextStyle>(style));
                const bool quoted =
                    static_cast<TextStyle>(style) == TextStyle::Csv && IsCsvQuoted(static_cast<unsigned char>(b));
                plain[style][b] = static_cast<char>(b) != StoredLineBreak && !quoted && written.size() == 1 &&
                                  written[0] == static_cast<char>(b);
            }
        }
        return plain;
    }();
    return table;
}

} // namespace

OutputBuffer::OutputBuffer(std::FILE *stream, std::string_view name) : Stream(stream), Name(name) {
    Text.reserve(FlushThreshold * 2);
    // A pipe holds 64 KiB unless asked for more: each flush would then wait for the reader sixteen times. As large
    // a pipe as one flush lets the reader take the output while the next piece is made; where the system refuses,
    // the output still goes through the smaller pipe.
    struct stat target {};
    const int descriptor = ::fileno(Stream);
    if (descriptor >= 0 && ::fstat(descriptor, &target) == 0 && S_ISFIFO(target.st_mode)) {
        ::fcntl(descriptor, F_SETPIPE_SZ, static_cast<int>(FlushThreshold));
    }
}

void OutputBuffer::Append(std::string_view text) {
    Text.append(text);
    FlushIfFull();
}

void OutputBuffer::EndLine() {
    Text.push_back(LineFeed);
    FlushIfFull();
}

void OutputBuffer::AppendDecoded(std::string_view bytes, TextStyle style) {
    AppendConverted(bytes, style);
    FlushIfFull();
}

void OutputBuffer::AppendCsvField(std::string_view bytes) {
    const std::size_t start = Text.size();
    if (AppendConverted(bytes, TextStyle::Csv)) {
        Text.insert(start, 1, Quote);
        Text.push_back(Quote);
    }
    FlushIfFull();
}

bool OutputBuffer::AppendConverted(std::string_view bytes, TextStyle style) {
    const PlainBytes &plain = PlainTable()[static_cast<std::size_t>(style)];
    bool quoted = false;
    for (std::size_t i = 0; i < bytes.size();) {
        // A run of bytes that the style writes as they stand goes in one piece.
        std::size_t end = i;
        while (end < bytes.size() && plain[static_cast<unsigned char>(bytes[end])]) {
            ++end;
        }
        if (end > i) {
            Text.append(bytes.data() + i, end - i);
            i = end;
            continue;
        }
        if (IsStoredBreak(bytes, i)) {
            Text.append(StoredBreakText(style));
            quoted = true;
            i += 2;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[i]);
        quoted = quoted || IsCsvQuoted(byte);
        AppendByte(Text, byte, style);
        ++i;
    }
    return quoted;
}

void OutputBuffer::FlushIfFull() {
    if (Text.size() >= FlushThreshold) {
        Flush();
    }
}

void OutputBuffer::Flush() {
    if (!Text.empty() && std::fwrite(Text.data(), 1, Text.size(), Stream) != Text.size()) {
        const int error = errno;
        Text.clear();
        throw CliError(ExitFailure, Name + ": " + std::strerror(error));
    }
    Text.clear();
    if (std::fflush(Stream) != 0) {
        throw CliError(ExitFailure, Name + ": " + std::strerror(errno));
    }
}

std::size_t DisplayWidth(std::string_view bytes) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsStoredBreak(bytes, i)) {
            ++i;
        }
        ++width;
    }
    return width;
}

std::string_view Utf8Of1252(unsigned char byte) {
    return Utf8Table()[byte];
}

} // namespace pq::cli
