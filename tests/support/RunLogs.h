#pragma once

#include <initializer_list>
#include <string>

#include "calc/DateRules.h"
#include "log/LogList.h"
#include "stats/StatsCalendar.h"

// Hand-made logs for the records, summaries and charts: each row as its Date, Distance and Time texts.
struct RunRow {
    const char *Date;
    const char *Distance;
    const char *Time = "00:30:00";
};

inline pq::LogList RunLog(std::initializer_list<RunRow> rows) {
    pq::LogList list;
    for (const RunRow &row : rows) {
        list.AppendRow(std::string(row.Date) + '\t' + row.Distance + '\t' + row.Time + "\tnote");
    }
    return list;
}

// The day number of a yyyy/mm/dd text that passes the date rules.
inline int Day(const char *date) {
    pq::CivilDate civil;
    pq::ReadDateText(date, civil);
    return pq::DayNumber(civil.Year, civil.Month, civil.Day);
}
