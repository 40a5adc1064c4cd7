#include "import/ImportShoeCheck.h"

#include <algorithm>

#include "log/LogList.h"
#include "log/NoteMarks.h"

ImportShoeCheck::ImportShoeCheck(const pq::LogList &log, const pq::LogProfile &profile,
                                 const pq::ProfileDistance &globalLimit)
    : Before(pq::CollectShoes(log, profile, globalLimit)), Limit(globalLimit) {
    if (const pq::ShoeSettings *shoe = pq::DefaultShoe(profile))
        Default = shoe->Name;
    Carried.Shoes.reserve(Before.size());
    // The start is taken in the unit of the shoe's limit, the one its status is judged in, so the sums agree.
    for (const pq::ShoeRow &shoe : Before) {
        pq::ShoeSettings settings = shoe.Settings;
        settings.Start = pq::ProfileDistance{pq::DistanceIn(shoe, shoe.Limit.Unit), shoe.Limit.Unit};
        Carried.Shoes.push_back(std::move(settings));
    }
}

QStringList ImportShoeCheck::TakenOver(const std::vector<pq::LogEntry> &rows) const {
    pq::LogList imported;
    for (const pq::LogEntry &row : rows)
        imported.AppendEntry(row);
    const std::vector<pq::ShoeRow> after = pq::CollectShoes(imported, Carried, Limit);
    QStringList lines;
    for (const pq::ShoeRow *shoe : pq::ShoesTakenOver(Before, after)) {
        // Named as the log names it, not as the first imported row happens to spell it.
        pq::ShoeRow named = *shoe;
        const auto known = std::find_if(Before.begin(), Before.end(), [&named](const pq::ShoeRow &before) {
            return pq::SameMarkName(before.Name, named.Name);
        });
        if (known != Before.end())
            named.Name = known->Name;
        lines << QString::fromStdString(pq::TakenOverText(named));
    }
    return lines;
}
