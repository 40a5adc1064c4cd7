#pragma once

#include <QCollator>
#include <QString>

#include <string_view>
#include <vector>

#include "log/TextPool.h"

// The distinct texts of one log column with their places in collation order, kept from one sort to the next:
// a text is numbered when a sort first meets it, and the texts are keyed and ranked again only when new ones have
// appeared since (or the collation changed). A column of too many distinct texts (notes of their own on every run)
// is not kept, so that it holds no memory between sorts.
class CollationRanks {
public:
    // The number of a text of the column, cut as the sort cuts it.
    int Number(std::string_view text) { return static_cast<int>(Texts.Intern(text)); }
    // The place of each number's text in the collator's order, equal texts sharing one; ranks every text
    // numbered so far.
    const std::vector<int> &Ranks(const QCollator &collator);
    // The last place of Ranks.
    int Highest() const { return HighestRank; }
    // Forgets the texts once a sort is done, when they are too many to keep.
    void Trim();
    void Clear();

private:
    pq::TextPool Texts;
    std::vector<int> TextRanks;
    int HighestRank = 0;
    // The collator the ranks were made with.
    QString LocaleName;
    Qt::CaseSensitivity Case = Qt::CaseSensitive;
};
