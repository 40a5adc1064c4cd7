#pragma once

#include <QTreeView>

class LogTableModel;

// The log list view (control 190 of the client dialog): a report view over the log's rows with one full-row
// selection that stays visible without the focus, and column widths that the user cannot change. A header click
// is reported as HeaderClicked; the client sorts.
class TPacequillListWindow : public QTreeView {
    Q_OBJECT

public:
    explicit TPacequillListWindow(QWidget *parent = nullptr);

    void SetLogModel(LogTableModel *model);
    // Sets the four column widths from the view's outer width; done once, when the client is set up.
    void SetupColumns();
    // Scrolls the row into view and makes it the one selected row.
    void ShowAndSelect(int row);
    void ShowSortIndicator(int column, bool ascending);

signals:
    void HeaderClicked(int column);
    // The user selected a row (or none: -1).
    void RowSelected(int row);

private:
    void OnSelectionChanged();
};
