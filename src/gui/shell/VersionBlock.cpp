#include "shell/VersionBlock.h"

#include <QtEndian>

namespace {

// Node header: total length, value length (bytes), value type; then the key.
constexpr int HeaderBytes = 6;
constexpr int Alignment = 4;
constexpr quint16 BinaryType = 0;
constexpr quint16 TextType = 1;
constexpr qsizetype MaxNodeBytes = 0xFFFF;

void Pad(QByteArray &bytes) {
    while (bytes.size() % Alignment != 0)
        bytes.append('\0');
}

qsizetype Aligned(qsizetype offset) {
    return (offset + Alignment - 1) / Alignment * Alignment;
}

QByteArray Utf16z(const QString &text) {
    QByteArray bytes;
    for (const QChar c : text) {
        char unit[2];
        qToLittleEndian<quint16>(c.unicode(), unit);
        bytes.append(unit, 2);
    }
    bytes.append(2, '\0');
    return bytes;
}

void AppendU16(QByteArray &bytes, qsizetype at, quint16 value) {
    qToLittleEndian<quint16>(value, bytes.data() + at);
}

struct Parsed {
    QString Key;
    qsizetype ValueStart = 0;
    qsizetype ValueLength = 0;
    bool IsText = false;
    qsizetype ChildrenStart = 0;
    qsizetype End = 0;
};

// Reads the node at offset within [offset, limit); false when its lengths do not fit.
bool ParseNode(const QByteArray &block, qsizetype offset, qsizetype limit, Parsed &node) {
    if (offset + HeaderBytes > limit)
        return false;
    const auto *data = reinterpret_cast<const uchar *>(block.constData());
    const qsizetype length = qFromLittleEndian<quint16>(data + offset);
    const qsizetype valueLength = qFromLittleEndian<quint16>(data + offset + 2);
    const quint16 type = qFromLittleEndian<quint16>(data + offset + 4);
    if (length < HeaderBytes || offset + length > limit)
        return false;
    node.End = offset + length;
    node.Key.clear();
    qsizetype at = offset + HeaderBytes;
    for (;;) {
        if (at + 2 > node.End)
            return false;
        const quint16 unit = qFromLittleEndian<quint16>(data + at);
        at += 2;
        if (unit == 0)
            break;
        node.Key.append(QChar(unit));
    }
    node.ValueStart = Aligned(at);
    node.ValueLength = valueLength;
    node.IsText = type == TextType;
    if (node.ValueStart + valueLength > node.End)
        return false;
    node.ChildrenStart = Aligned(node.ValueStart + valueLength);
    return true;
}

} // namespace

QByteArray VersionBlock::Build(const Node &root) {
    QByteArray bytes(HeaderBytes, '\0');
    bytes.append(Utf16z(root.Key));
    Pad(bytes);
    const QByteArray value = root.Text ? Utf16z(*root.Text) : root.Binary;
    bytes.append(value);
    Pad(bytes);
    for (const Node &child : root.Children)
        bytes.append(Build(child));
    // A block too big for its 16-bit lengths is a fault of the build's own description, never of input.
    Q_ASSERT(bytes.size() <= MaxNodeBytes);
    AppendU16(bytes, 0, static_cast<quint16>(bytes.size()));
    AppendU16(bytes, 2, static_cast<quint16>(value.size()));
    AppendU16(bytes, 4, root.Text ? TextType : BinaryType);
    return bytes;
}

std::optional<VersionBlock::Value> VersionBlock::Query(const QByteArray &block, QStringView path) {
    Parsed node;
    if (!ParseNode(block, 0, block.size(), node))
        return std::nullopt;
    for (const QStringView key : path.split(u'\\', Qt::SkipEmptyParts)) {
        Parsed child;
        bool found = false;
        for (qsizetype at = node.ChildrenStart; at < node.End; at = Aligned(child.End)) {
            if (!ParseNode(block, at, node.End, child))
                return std::nullopt;
            if (key.compare(child.Key, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        }
        if (!found)
            return std::nullopt;
        node = child;
    }
    return Value{block.mid(node.ValueStart, node.ValueLength), node.IsText};
}
