#include "import/XmlActivityReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>

#include <expat.h>

namespace pq {

namespace {

constexpr char NamespaceSeparator = '\x01';
// Expat keeps a token that a piece leaves open and scans it again with every later piece, so a huge token, or
// tiny blocks, would make the parse quadratic. The parser is given pieces of this size whatever the blocks, and
// a limit on the bytes left open keeps the parse linear in the file.
constexpr std::size_t ParsePiece = std::size_t{1} << 16;
// No token (a name, an attribute value, a comment, a run of text) of these files is legitimately this long.
constexpr std::size_t MaxToken = std::size_t{1} << 20;
constexpr std::string_view LongToken = "a name, value, comment or text is longer than 1 MiB";
// The text of one element is never legitimately long in these files; a longer one is refused, not collected.
constexpr std::size_t MaxElementText = std::size_t{1} << 16;

std::pair<std::string_view, std::string_view> SplitName(const char *qualified) {
    const std::string_view name(qualified);
    const std::size_t separator = name.find(NamespaceSeparator);
    if (separator == std::string_view::npos) {
        return {{}, name};
    }
    return {name.substr(0, separator), name.substr(separator + 1)};
}

} // namespace

XmlActivityReader::XmlActivityReader() : Parser(XML_ParserCreateNS(nullptr, NamespaceSeparator)) {
    if (Parser == nullptr) {
        throw std::bad_alloc();
    }
    Collected.reserve(MaxElementText);
    XML_SetUserData(Parser, this);
    XML_SetElementHandler(Parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(Parser, OnText);
}

XmlActivityReader::~XmlActivityReader() {
    XML_ParserFree(Parser);
}

const char *XmlActivityReader::Attribute(const char **attributes, std::string_view name) {
    for (; attributes[0] != nullptr; attributes += 2) {
        if (attributes[0] == name) {
            return attributes[1];
        }
    }
    return nullptr;
}

std::string_view XmlActivityReader::Trimmed(std::string_view text) {
    constexpr std::string_view Space = " \t\r\n";
    const std::size_t first = text.find_first_not_of(Space);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Space) - first + 1);
}

std::optional<double> XmlActivityReader::Number(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

void XmlActivityReader::CaptureText() {
    Collected.clear();
    CaptureDepth = Depth;
}

void XmlActivityReader::Stop(std::string reason) {
    Fail(Place(), std::move(reason));
    XML_StopParser(Parser, XML_FALSE);
}

std::string XmlActivityReader::Place() const {
    return "line " + std::to_string(XML_GetCurrentLineNumber(Parser)) + ", column " +
           std::to_string(XML_GetCurrentColumnNumber(Parser) + 1);
}

void XmlActivityReader::Parse(std::string_view block) {
    while (!block.empty() && !Failed()) {
        if (Waiting.empty() && block.size() >= ParsePiece) {
            ParsePieceOf(block.substr(0, ParsePiece));
            block.remove_prefix(ParsePiece);
            continue;
        }
        const std::size_t taken = std::min(block.size(), ParsePiece - Waiting.size());
        Waiting.append(block.substr(0, taken));
        block.remove_prefix(taken);
        if (Waiting.size() == ParsePiece) {
            ParsePieceOf(Waiting);
            Waiting.clear();
        }
    }
}

void XmlActivityReader::ParsePieceOf(std::string_view piece) {
    Run(piece.data(), static_cast<int>(piece.size()), false);
    Fed += piece.size();
    const XML_Index parsed = XML_GetCurrentByteIndex(Parser);
    if (!Failed() && parsed >= 0 && Fed - static_cast<std::uint64_t>(parsed) > MaxToken) {
        Stop(std::string(LongToken));
    }
}

void XmlActivityReader::End() {
    if (!Waiting.empty() && !Failed()) {
        ParsePieceOf(Waiting);
    }
    if (!Failed()) {
        Run(nullptr, 0, true);
    }
}

void XmlActivityReader::Run(const char *data, int size, bool last) {
    if (XML_Parse(Parser, data, size, last ? XML_TRUE : XML_FALSE) == XML_STATUS_ERROR && !Failed()) {
        Fail(Place(), std::string("not well-formed XML: ") + XML_ErrorString(XML_GetErrorCode(Parser)));
    }
}

// The handlers run inside expat's C code, so nothing may be thrown through them: a failure stops the parse.
void XmlActivityReader::OnStart(void *self, const char *name, const char **attributes) {
    auto *reader = static_cast<XmlActivityReader *>(self);
    ++reader->Depth;
    reader->TextRun = 0;
    try {
        const auto [uri, local] = SplitName(name);
        reader->StartElement(uri, local, attributes);
    } catch (const std::exception &) {
        reader->Stop("not enough memory to read the file");
    }
}

void XmlActivityReader::OnEnd(void *self, const char *name) {
    auto *reader = static_cast<XmlActivityReader *>(self);
    reader->TextRun = 0;
    try {
        const auto [uri, local] = SplitName(name);
        reader->EndElement(uri, local);
    } catch (const std::exception &) {
        reader->Stop("not enough memory to read the file");
    }
    if (reader->CaptureDepth == reader->Depth) {
        reader->CaptureDepth = -1;
    }
    --reader->Depth;
}

void XmlActivityReader::OnText(void *self, const char *text, int size) {
    auto *reader = static_cast<XmlActivityReader *>(self);
    if (reader->Failed()) {
        return;
    }
    reader->TextRun += static_cast<std::size_t>(size);
    if (reader->TextRun > MaxToken) {
        reader->Stop(std::string(LongToken));
        return;
    }
    if (reader->CaptureDepth < 0) {
        return;
    }
    if (reader->Collected.size() + static_cast<std::size_t>(size) > MaxElementText) {
        reader->Stop("an element's text is longer than " + std::to_string(MaxElementText) + " bytes");
        return;
    }
    reader->Collected.append(text, static_cast<std::size_t>(size));
}

} // namespace pq
