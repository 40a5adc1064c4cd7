#include "log/LocaleCollation.h"

#include <QLocale>

#include <cstdint>

#include "log/LogList.h"
#include "log/TextTable.h"

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
    // Logs repeat their texts (dates, distances, "None"): the list keeps each distinct text of a column once, and
    // each is numbered, decoded and keyed once.
    const pq::TextTable &column = List.ColumnTexts(Column);
    Ranks.resize(column.Size());
    for (std::uint32_t text = 0; text < Ranks.size(); ++text)
        Ranks[text] = texts.Number(column.Text(text).substr(0, pq::SortTextWidth));
    const std::vector<int> &textRanks = texts.Ranks(collator);
    // Descending, the ranks are turned around, so that equal texts still keep their rows' order.
    for (int &text : Ranks) {
        const int textRank = textRanks[static_cast<std::size_t>(text)];
        text = Ascending ? textRank : texts.Highest() - textRank;
    }
}

int LocaleCollation::Compare(int firstRow, int secondRow) const {
    const int first = Ranks[List.TextId(firstRow, Column)];
    const int second = Ranks[List.TextId(secondRow, Column)];
    return (first > second) - (first < second);
}

LocaleCollation::ColumnRanks LocaleCollation::TextRanks() const {
    return {Column, Ranks};
}

QCollator LocaleCollation::UserCollator() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}
