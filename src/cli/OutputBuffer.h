#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace pq::cli {

// How Windows-1252 texts are written as UTF-8.
enum class TextStyle {
    Display, // for a person: a stored line break as a return symbol, a TAB as a blank, other controls as U+FFFD
    Tsv,     // a stored line break as \n, a backslash as \\, a TAB as \t (a raw CR or LF as \r or \n)
    Csv,     // a stored line break as CR LF, a quote doubled (see AppendCsvField)
    Json     // the inside of a JSON string; a stored line break as \r\n
};

// Collects output and writes it in large pieces, so that a million lines cost a handful of system calls.
class OutputBuffer {
public:
    OutputBuffer(std::FILE *stream, std::string_view name);
    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    void Append(std::string_view text);
    void Append(char c) { Text.push_back(c); }
    void AppendBlanks(std::size_t count) { Text.append(count, ' '); }
    void AppendDecoded(std::string_view bytes, TextStyle style);
    // A CSV field in TextStyle::Csv, in quotes when it holds a comma, a quote, a line break or a stored line break.
    void AppendCsvField(std::string_view bytes);
    void EndLine();

    // Writes what is collected; throws a CliError naming the stream when it cannot be written.
    void Flush();

private:
    // AppendDecoded without the flush; answers whether the bytes held one that makes a CSV field quoted.
    bool AppendConverted(std::string_view bytes, TextStyle style);
    void FlushIfFull();

    std::FILE *Stream;
    std::string Name;
    std::string Text;
};

// The number of characters a text shows in TextStyle::Display.
std::size_t DisplayWidth(std::string_view bytes);

// The UTF-8 form of one Windows-1252 byte.
std::string_view Utf8Of1252(unsigned char byte);

} // namespace pq::cli
