#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Reads the program's version block: the name, version and copyright that the About box shows. Without a block,
// without a translation entry, or with a block that cannot be read, the reader has no data and finds nothing.
class TProjectRCVersion {
public:
    // Where the version block comes from: its size (0 for none) and a read of that many bytes. The program's own
    // is ProgramModule(); tests pass blocks of their own, or none.
    struct Module {
        std::function<qsizetype()> VersionInfoSize;
        std::function<bool(QByteArray &block)> ReadVersionInfo;
    };

    static const QString TranslationPath;
    // The query path of a string: the translation as eight lower-case hexadecimal digits, language first.
    static const char StringPathFormat[];
    static constexpr qsizetype MaxQueryPathLength = 254;

    explicit TProjectRCVersion(const Module &module = ProgramModule());

    // The text of the key in the block's string table, or nothing when the key (or the block) is missing.
    std::optional<QString> LookupString(const QString &key) const;

    bool HasData() const { return VersionData.has_value(); }
    // Language in the high 16 bits, code page in the low 16 bits.
    quint32 GetTranslation() const { return Translation; }

    // The version block embedded in this program; without one (a build with PACEQUILL_VERSION_BLOCK off) its
    // size is 0.
    static Module ProgramModule();

private:
    std::optional<QByteArray> VersionData;
    quint32 Translation = 0;
};
