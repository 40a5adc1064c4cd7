#include "log/LocaleCollation.h"

#include <QLocale>

#include "log/LogList.h"

namespace {

// How many rows ahead the numbering asks for a row's texts.
constexpr std::size_t TextPrefetchDistance = 16;

} // namespace

LocaleCollation::LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator)
    : TPQLComparator(list, column, ascending) {
    CollationRanks texts;
    Rank(texts, collator);
}

LocaleCollation::LocaleCollation(const pq::LogList &list, int column, bool ascending, CollationRanks &texts,
                                 const QCollator &collator)
    : TPQLComparator(list, column, ascending) {
    Rank(texts, collator);
    texts.Trim();
}

void LocaleCollation::Rank(CollationRanks &texts, const QCollator &collator) {
    const auto rows = static_cast<std::size_t>(List.RowCount());
    // Logs repeat their texts (dates, distances, "None"): each distinct text is decoded and keyed once.
    Ranks.resize(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        // After a sort the rows' texts lie anywhere in memory: they are asked for a little before they are read.
        if (row + TextPrefetchDistance < rows)
            List.PrefetchTexts(static_cast<int>(row + TextPrefetchDistance));
        Ranks[row] = texts.Number(List.Text(static_cast<int>(row), Column).substr(0, pq::SortTextWidth));
    }
    const std::vector<int> &textRanks = texts.Ranks(collator);
    // Descending, the ranks are turned around, so that equal texts still keep their rows' order.
    for (int &row : Ranks) {
        const int textRank = textRanks[static_cast<std::size_t>(row)];
        row = Ascending ? textRank : texts.Highest() - textRank;
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
