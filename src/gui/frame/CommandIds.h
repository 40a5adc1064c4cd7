#pragma once

// Command numbers. A menu command's number is also the number of its status-bar hint, its toolbar bitmap and
// its help pop-up topic.
namespace Cmd {
inline constexpr int HelpTopics = 2001; // "Using Pacequill"
inline constexpr int HelpOnHelp = 2002; // "Using Help"
inline constexpr int About = 2009;

inline constexpr int Exit = 24310;
inline constexpr int AccelAltBackspace = 24321;
inline constexpr int AccelShiftDelete = 24322;
inline constexpr int AccelCtrlInsert = 24323;
inline constexpr int AccelShiftInsert = 24324;
inline constexpr int AccelCtrlDelete = 24326;
inline constexpr int AccelF3 = 24353;

inline constexpr int FileNew = 24331;
inline constexpr int FileOpen = 24332;
inline constexpr int FileSave = 24333;
inline constexpr int FileSaveAs = 24334;
inline constexpr int ImportActivities = 24335; // File > Import Activities..., beyond the original menu

inline constexpr int AddEntry = 24341;
inline constexpr int DuplicateEntry = 24342;
inline constexpr int ModifyEntry = 24343;
inline constexpr int DeleteEntry = 24344;

// The log list's context menu.
inline constexpr int ListAddEntry = 24361;
inline constexpr int ListDuplicateEntry = 24362;
inline constexpr int ListModifyEntry = 24363;
inline constexpr int ListDeleteEntry = 24364;

inline constexpr int StatsWeekly = 24371;
inline constexpr int StatsMonthly = 24372;
inline constexpr int StatsYearly = 24373;
inline constexpr int StatsFromThru = 24374;
inline constexpr int StatsCharts = 24375;
inline constexpr int StatsRecords = 24376;
} // namespace Cmd
