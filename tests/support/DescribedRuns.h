#pragma once

#include <cstdio>
#include <string>

#include "insight/CountedRun.h"
#include "insight/RunList.h"

// One line per run with every number to the last bit, so that a difference shows where it is.
inline std::string DescribedRuns(const pq::RunList &runs) {
    std::string text;
    char line[160];
    for (const pq::CountedRun &run : runs) {
        std::snprintf(line, sizeof line, "row %d day %d %a mi %a km %a s\n", run.Row, run.DayNumber, run.Miles,
                      run.Kilometers, run.Seconds);
        text += line;
    }
    return text;
}
