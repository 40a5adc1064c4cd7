#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "import/ActivityReader.h"

struct XML_ParserStruct;

namespace pq {

// The streaming XML under the GPX and TCX readers (libexpat, namespace-aware): the subclass sees each element's
// namespace and local name as it starts and ends, and the text of the elements it asks for. The document is
// never held as a tree; only the text of one element is kept at a time. No token may be longer than 1 MiB, which
// keeps the parse linear in the size of the file.
class XmlActivityReader : public ActivityReader {
public:
    XmlActivityReader();
    ~XmlActivityReader() override;
    XmlActivityReader(const XmlActivityReader &) = delete;
    XmlActivityReader &operator=(const XmlActivityReader &) = delete;

    // A text without the white space around it.
    static std::string_view Trimmed(std::string_view text);
    // A decimal number (white space around it allowed) that is finite; nothing otherwise.
    static std::optional<double> Number(std::string_view text);

protected:
    // attributes: pairs of (name, value), ended by a null name; names in a namespace are "uri" 0x01 "local".
    virtual void StartElement(std::string_view uri, std::string_view name, const char **attributes) = 0;
    virtual void EndElement(std::string_view uri, std::string_view name) = 0;
    // The value of the attribute with this local name and no namespace, or nullptr.
    static const char *Attribute(const char **attributes, std::string_view name);

    // Collects the text of the element that has just started, until its end; Text() then gives it.
    void CaptureText();
    std::string_view Text() const { return Collected; }
    // Fails at the parser's current place and stops the parse.
    void Stop(std::string reason);
    void End() override;

private:
    void Parse(std::string_view block) override;
    void ParsePieceOf(std::string_view piece);
    void Run(const char *data, int size, bool last);
    std::string Place() const;

    static void OnStart(void *self, const char *name, const char **attributes);
    static void OnEnd(void *self, const char *name);
    static void OnText(void *self, const char *text, int size);

    XML_ParserStruct *Parser;
    std::string Collected;
    int CaptureDepth = -1; // the depth of the element whose text is collected, or -1
    int Depth = 0;
    std::string Waiting;     // the start of the next piece
    std::uint64_t Fed = 0;   // bytes given to the parser
    std::size_t TextRun = 0; // bytes of text since the last tag
};

} // namespace pq
