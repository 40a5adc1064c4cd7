#pragma once

#include <map>
#include <string>

#include "log/LogList.h"

namespace pq {

// What edits did to a log since its base (the rows as last read from or written to its file), kept as a multiset
// difference: for each distinct row (its four whole texts, as the merge compares rows), how many more copies the
// base holds than the log. Only edited rows are kept, so the base costs no copy of a big log; the merge
// rebuilds it when it needs it.
class RowChanges {
public:
    // Records a row of list that was just added, or that is about to be removed.
    void Added(const LogList &list, int row);
    void Removed(const LogList &list, int row);
    // The log as it is now becomes the base.
    void Clear();
    bool Empty() const { return Difference.empty(); }

    // The base's rows: the rows of list without the ones added since, in their order, then the ones removed
    // since. A merge compares rows as a multiset, so the order does not matter to it.
    LogList Base(const LogList &list) const;

private:
    void Count(const LogList &list, int row, long change);

    // Per row, its texts each after its length, so that no two rows share a key: base copies minus log copies.
    std::map<std::string, long> Difference;
};

} // namespace pq
