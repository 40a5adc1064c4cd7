#include "log/CollationRanks.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

#include "log/CodePage1252.h"

namespace {

// More distinct texts than this are numbered and ranked anew at each sort instead of being kept.
constexpr std::size_t KeptTexts = std::size_t{1} << 16;

QString DecodeForCollation(std::string_view text) {
    QString decoded(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i)
        decoded[static_cast<qsizetype>(i)] = QChar(pq::DecodeByte1252(static_cast<unsigned char>(text[i])));
    return decoded;
}

} // namespace

const std::vector<int> &CollationRanks::Ranks(const QCollator &collator) {
    const QString localeName = collator.locale().name();
    const bool sameCollator = localeName == LocaleName && collator.caseSensitivity() == Case;
    if (sameCollator && TextRanks.size() == Texts.Size())
        return TextRanks;
    LocaleName = localeName;
    Case = collator.caseSensitivity();

    const std::size_t texts = Texts.Size();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts);
    for (std::size_t text = 0; text < texts; ++text)
        keys.push_back(collator.sortKey(DecodeForCollation(Texts.Text(text))));
    std::vector<int> order(texts);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        return keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]) < 0;
    });
    // Texts that collate equal share a rank, so the stable sort keeps their rows in their order.
    TextRanks.assign(texts, 0);
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto text = static_cast<std::size_t>(order[i]);
        if (i > 0 && keys[static_cast<std::size_t>(order[i - 1])].compare(keys[text]) != 0)
            ++rank;
        TextRanks[text] = rank;
    }
    HighestRank = rank;
    return TextRanks;
}

void CollationRanks::Trim() {
    if (Texts.Size() > KeptTexts)
        Clear();
}

void CollationRanks::Clear() {
    Texts = pq::TextPool();
    TextRanks = {};
    HighestRank = 0;
    LocaleName.clear();
}
