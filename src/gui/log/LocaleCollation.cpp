#include "log/LocaleCollation.h"

#include <QLocale>

#include <cstdint>

#include "log/LogList.h"

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
    // Logs repeat their texts (dates, distances, "None"): the list keeps each distinct text of a column once, and
    // each is numbered, decoded and keyed once.
    const std::size_t unnumbered = List.ColumnTexts(Column).Size();
    std::vector<int> numberOfText(unnumbered, -1);
    Ranks.resize(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint32_t text = List.TextId(static_cast<int>(row), Column);
        int &number = numberOfText[text];
        if (number < 0)
            number = texts.Number(List.Text(static_cast<int>(row), Column).substr(0, pq::SortTextWidth));
        Ranks[row] = number;
    }
    numberOfText = {};
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
