#include "log/LocaleCollation.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <numeric>
#include <string_view>

#include "log/CodePage1252.h"
#include "log/LogList.h"
#include "log/TextNumbering.h"

namespace {

QString DecodeForCollation(std::string_view text) {
    QString decoded(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i)
        decoded[static_cast<qsizetype>(i)] = QChar(pq::DecodeByte1252(static_cast<unsigned char>(text[i])));
    return decoded;
}

} // namespace

LocaleCollation::LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator)
    : TPQLComparator(list, column, ascending) {
    const auto rows = static_cast<std::size_t>(list.RowCount());

    // Logs repeat their texts (dates, distances, "None"): each distinct text is decoded and keyed once.
    pq::TextNumbering numbering;
    Ranks.resize(rows);
    for (std::size_t row = 0; row < rows; ++row)
        Ranks[row] = numbering.Number(list.Text(static_cast<int>(row), column).substr(0, pq::SortTextWidth));
    const std::vector<std::string_view> &texts = numbering.Texts();

    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const std::string_view text : texts)
        keys.push_back(collator.sortKey(DecodeForCollation(text)));

    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        return keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]) < 0;
    });
    // Texts that collate equal share a rank, so the stable sort keeps their rows in their order.
    std::vector<int> textRanks(texts.size());
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto text = static_cast<std::size_t>(order[i]);
        if (i > 0 && keys[static_cast<std::size_t>(order[i - 1])].compare(keys[text]) != 0)
            ++rank;
        textRanks[text] = rank;
    }
    // Descending, the ranks are turned around, so that equal texts still keep their rows' order.
    for (int &row : Ranks) {
        const int textRank = textRanks[static_cast<std::size_t>(row)];
        row = ascending ? textRank : rank - textRank;
    }
}

int LocaleCollation::Compare(int firstRow, int secondRow) const {
    const int first = Ranks[static_cast<std::size_t>(firstRow)];
    const int second = Ranks[static_cast<std::size_t>(secondRow)];
    return (first > second) - (first < second);
}

std::span<const int> LocaleCollation::RowRanks() const {
    return Ranks;
}

QCollator LocaleCollation::UserCollator() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}
