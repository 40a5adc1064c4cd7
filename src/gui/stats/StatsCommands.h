#pragma once

class QWidget;
class TPacequillDlgClient;

namespace pq {
class LogList;
}

// The Stats menu's commands: each opens the statistics dialog on its tab over the log as it is displayed.
namespace StatsCommands {

// Adds the four commands to the document client's response table.
void AddTo(TPacequillDlgClient &client);
// Runs the dialog modally on the requested tab (1 Weekly to 4 From/Thru) over the list's rows in display order.
void OpenStats(QWidget *parent, const pq::LogList &list, int requestedTab);

} // namespace StatsCommands
