#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A version block laid out like the Windows version resource: a tree of nodes, each with a UTF-16 key, a binary
// or text value and children, every part aligned to four bytes. Values are found by a path of keys, matched
// without regard to case ("\StringFileInfo\040904e4\ProductName"); "\" is the root's own value.
class VersionBlock {
public:
    struct Node {
        QString Key;
        QByteArray Binary; // used when Text is not set
        std::optional<QString> Text;
        QList<Node> Children;
    };

    // The value of a node: its bytes, and whether they hold NUL-terminated UTF-16 text.
    struct Value {
        QByteArray Bytes;
        bool IsText = false;
    };

    static QByteArray Build(const Node &root);
    // The value at the path; nothing when the path is not in the block or the block is damaged.
    static std::optional<Value> Query(const QByteArray &block, QStringView path);
};
