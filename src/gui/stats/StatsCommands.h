#pragma once

class QWidget;
class SnapshotKeeper;
class TPacequillDlgClient;

// The Stats menu's commands: each opens the statistics dialog on its tab over the log as it is displayed.
namespace StatsCommands {

// Adds the four commands to the document client's response table, and keeps the snapshot of its log for them.
void AddTo(TPacequillDlgClient &client);
// Runs the dialog modally on the requested tab (1 Weekly to 4 From/Thru) over the kept snapshot of the log.
void OpenStats(QWidget *parent, SnapshotKeeper &keeper, int requestedTab);

} // namespace StatsCommands
