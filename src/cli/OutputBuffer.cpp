#include "cli/OutputBuffer.h"

#include <array>
#include <cerrno>
#include <cstring>

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

} // namespace

OutputBuffer::OutputBuffer(std::FILE *stream, std::string_view name) : Stream(stream), Name(name) {
    Text.reserve(FlushThreshold * 2);
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
    const auto &table = Utf8Table();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (IsStoredBreak(bytes, i)) {
            ++i;
            switch (style) {
            case TextStyle::Display:
                Text.append(ReturnSymbol);
                break;
            case TextStyle::Tsv:
                Text.append("\\n");
                break;
            case TextStyle::Csv:
                Text.append("\r\n");
                break;
            case TextStyle::Json:
                Text.append("\\r\\n");
                break;
            }
            continue;
        }
        switch (style) {
        case TextStyle::Display:
            if (byte == Tab) {
                Text.push_back(' ');
            } else if (IsControl(byte)) {
                Text.append(ReplacementCharacter);
            } else {
                Text.append(table[byte]);
            }
            break;
        case TextStyle::Tsv:
            if (byte == Backslash) {
                Text.append("\\\\");
            } else if (byte == Tab) {
                Text.append("\\t");
            } else if (byte == CarriageReturn) {
                Text.append("\\r");
            } else if (byte == LineFeed) {
                Text.append("\\n");
            } else {
                Text.append(table[byte]);
            }
            break;
        case TextStyle::Csv:
            if (byte == Quote) {
                Text.append("\"\"");
            } else {
                Text.append(table[byte]);
            }
            break;
        case TextStyle::Json:
            if (byte == Quote || byte == Backslash) {
                Text.push_back(Backslash);
                Text.push_back(static_cast<char>(byte));
            } else if (byte == LineFeed) {
                Text.append("\\n");
            } else if (byte == CarriageReturn) {
                Text.append("\\r");
            } else if (byte == Tab) {
                Text.append("\\t");
            } else if (byte < FirstPrintable) {
                Text.append(JsonUnicodeEscape);
                Text.push_back(HexDigits[byte >> 4]);
                Text.push_back(HexDigits[byte & 0xF]);
            } else {
                Text.append(table[byte]);
            }
            break;
        }
    }
    FlushIfFull();
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

bool NeedsCsvQuotes(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == CsvSeparator || c == Quote || c == CarriageReturn || c == LineFeed || IsStoredBreak(bytes, i)) {
            return true;
        }
    }
    return false;
}

std::string_view Utf8Of1252(unsigned char byte) {
    return Utf8Table()[byte];
}

} // namespace pq::cli
