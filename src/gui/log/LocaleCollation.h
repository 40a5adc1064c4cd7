#pragma once

#include <QCollator>

#include <vector>

#include "log/CollationRanks.h"
#include "log/TPQLComparator.h"

// Orders rows by the user's default locale, case-sensitively, on the texts of one column cut to their first 259
// bytes. Before the sort each distinct text gets one collation key and the keys are ranked once; the sort then
// orders the rows by their ranks, so a big log costs one key per distinct text and no text comparison at all.
class LocaleCollation : public pq::TPQLComparator {
public:
    LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator = UserCollator());
    // With the column's texts and ranks kept from earlier sorts, which the sort updates.
    LocaleCollation(const pq::LogList &list, int column, bool ascending, CollationRanks &texts,
                    const QCollator &collator = UserCollator());
    int Compare(int firstRow, int secondRow) const override;
    ColumnRanks TextRanks() const override;

    // The collation of the user's default locale, distinguishing upper from lower case.
    static QCollator UserCollator();

private:
    void Rank(CollationRanks &texts, const QCollator &collator);

    // By the list's number of each of the column's texts: its place in the sorted order (descending when so
    // asked); equal texts share one.
    std::vector<int> Ranks;
};
