#pragma once

#include <QStringList>

#include <string>

// The entry editor's transfer record: the texts of its six edit fields and the state of its three lists, through
// which the fields are set and collected. Texts are Windows-1252 bytes as they go into a log entry. One record
// serves every opening of the editor for the whole program; only one editor is open at a time.
class TPacequillCalcXfer {
public:
    struct ListState {
        QStringList Items;
        int Selection = -1; // -1: nothing selected
    };

    std::string DistanceText;   // 602
    std::string HoursText;      // 603
    std::string MinutesText;    // 604
    std::string SecondsText;    // 605
    std::string NotesText;      // 608
    std::string DateText;       // 609
    ListState DistanceUnitList; // 502
    ListState PaceUnitList;     // 503
    ListState CalcModeList;     // 504

    // The program's one record.
    static TPacequillCalcXfer &Shared();
};
