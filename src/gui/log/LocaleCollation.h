#pragma once

#include <QCollator>

#include <vector>

#include "log/TPQLComparator.h"

// Orders rows by the user's default locale, case-sensitively, on the texts of one column cut to their first 259
// bytes. Before the sort each distinct text gets one collation key and the keys are ranked once; the sort then
// compares the rows' ranks, so a big log costs one key per distinct text and no text comparison per step.
class LocaleCollation : public pq::TPQLComparator {
public:
    LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator = UserCollator());
    int Compare(int firstRow, int secondRow) const override;

    // The collation of the user's default locale, distinguishing upper from lower case.
    static QCollator UserCollator();

private:
    std::vector<int> Ranks; // per row: the place of its text in collation order; equal texts share one
};
