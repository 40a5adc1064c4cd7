#pragma once

#include <QCollator>
#include <QCollatorSortKey>

#include <vector>

#include "log/TPQLComparator.h"

// Orders rows by the user's default locale, case-sensitively, on the texts of one column cut to their first 259
// bytes. Each row's collation key is computed once before the sort, so a sort of a big log compares keys, not
// texts.
class LocaleCollation : public pq::TPQLComparator {
public:
    LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator = UserCollator());
    int Compare(int firstRow, int secondRow) const override;

    // The collation of the user's default locale, distinguishing upper from lower case.
    static QCollator UserCollator();

private:
    std::vector<QCollatorSortKey> Keys;
};
