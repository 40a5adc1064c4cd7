#pragma once

#include <QStringList>

#include <string>
#include <vector>

#include "insight/LogProfile.h"
#include "insight/ShoeRegistry.h"
#include "log/LogEntry.h"

namespace pq {
class LogList;
}

// The shoes of an import: the profile's default shoe, which the rows of device files take, and which shoes the rows
// to import would take from within their limits to over them.
class ImportShoeCheck {
public:
    // The log's shoes as they stand, before the import; the log need not outlive the check.
    ImportShoeCheck(const pq::LogList &log, const pq::LogProfile &profile, const pq::ProfileDistance &globalLimit);

    // The default shoe's name (Windows-1252), empty without one.
    const std::string &DefaultShoe() const { return Default; }
    // One line per shoe that the rows would take over its limit, as "@Pegasus is now over its limit: ...".
    QStringList TakenOver(const std::vector<pq::LogEntry> &rows) const;

private:
    std::string Default;
    std::vector<pq::ShoeRow> Before;
    // Every shoe of Before with its distance then as its start, so that the rows alone make the registry after.
    pq::LogProfile Carried;
    pq::ProfileDistance Limit;
};
