#include "shell/TProjectRCVersion.h"

#include <QtEndian>

#include "shell/VersionBlock.h"

#ifdef PACEQUILL_HAVE_VERSION_BLOCK
#include "PacequillVersionInfo.h"
#endif

const QString TProjectRCVersion::TranslationPath = QStringLiteral("\\VarFileInfo\\Translation");
const char TProjectRCVersion::StringPathFormat[] = "\\StringFileInfo\\%08x\\%s";

namespace {

constexpr int HalfBits = 16;
constexpr quint32 LowHalf = 0xFFFF;

#ifdef PACEQUILL_HAVE_VERSION_BLOCK
QByteArray U32Array(std::initializer_list<quint32> values) {
    QByteArray bytes;
    for (const quint32 value : values) {
        char word[sizeof(quint32)];
        qToLittleEndian<quint32>(value, word);
        bytes.append(word, sizeof word);
    }
    return bytes;
}

// The block as the build describes it: the fixed part, one string table and its translation.
QByteArray EmbeddedBlock() {
    using Node = VersionBlock::Node;
    namespace Info = PacequillVersionInfo;
    const auto text = [](const char *key, const char *value) {
        return Node{QString::fromLatin1(key), {}, QString::fromUtf8(value), {}};
    };
    const quint32 versionHigh = Info::Major << HalfBits | Info::Minor;
    const quint32 versionLow = Info::Patch << HalfBits | Info::Tweak;
    const QByteArray fixedPart =
        U32Array({Info::FixedSignature, Info::FixedStructVersion, versionHigh, versionLow, versionHigh, versionLow,
                  Info::FileFlagsMask, 0, Info::FileOs, Info::FileTypeApplication, 0, 0, 0});
    const quint32 translation = Info::CodePage << HalfBits | Info::Language;
    const Node root{
        QStringLiteral("VS_VERSION_INFO"),
        fixedPart,
        std::nullopt,
        {Node{QStringLiteral("StringFileInfo"),
              {},
              std::nullopt,
              {Node{QString::fromLatin1(Info::StringTable),
                    {},
                    std::nullopt,
                    {text("CompanyName", Info::CompanyName), text("FileDescription", Info::FileDescription),
                     text("FileVersion", Info::FileVersion), text("InternalName", Info::InternalName),
                     text("LegalCopyright", Info::LegalCopyright), text("LegalTrademarks", Info::LegalTrademarks),
                     text("OriginalFilename", Info::OriginalFilename), text("ProductName", Info::ProductName),
                     text("ProductVersion", Info::ProductVersion)}}}},
         Node{QStringLiteral("VarFileInfo"),
              {},
              std::nullopt,
              {Node{QStringLiteral("Translation"), U32Array({translation}), std::nullopt, {}}}}}};
    return VersionBlock::Build(root);
}
#endif

const QByteArray &ProgramBlock() {
#ifdef PACEQUILL_HAVE_VERSION_BLOCK
    static const QByteArray block = EmbeddedBlock();
#else
    static const QByteArray block;
#endif
    return block;
}

} // namespace

TProjectRCVersion::Module TProjectRCVersion::ProgramModule() {
    return {[] { return ProgramBlock().size(); },
            [](QByteArray &block) {
                block = ProgramBlock();
                return true;
            }};
}

TProjectRCVersion::TProjectRCVersion(const Module &module) {
    const qsizetype size = module.VersionInfoSize ? module.VersionInfoSize() : 0;
    if (size <= 0)
        return;
    QByteArray block(size, '\0');
    if (!module.ReadVersionInfo || !module.ReadVersionInfo(block))
        return;
    const std::optional<VersionBlock::Value> translations = VersionBlock::Query(block, TranslationPath);
    if (!translations || translations->Bytes.size() < qsizetype(sizeof(quint32)))
        return;
    // The entry holds the language in its low half and the code page in its high half; the query path wants the
    // language first.
    const quint32 entry = qFromLittleEndian<quint32>(translations->Bytes.constData());
    Translation = (entry & LowHalf) << HalfBits | entry >> HalfBits;
    VersionData = std::move(block);
}

std::optional<QString> TProjectRCVersion::LookupString(const QString &key) const {
    if (!VersionData)
        return std::nullopt;
    const QString path =
        QString::asprintf(StringPathFormat, Translation, key.toUtf8().constData()).left(MaxQueryPathLength);
    const std::optional<VersionBlock::Value> value = VersionBlock::Query(*VersionData, path);
    if (!value || !value->IsText)
        return std::nullopt;
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(value->Bytes.constData()),
                                      value->Bytes.size() / qsizetype(sizeof(char16_t)));
    // The stored text ends with its terminator.
    const qsizetype end = text.indexOf(QChar(u'\0'));
    return end < 0 ? text : text.left(end);
}
