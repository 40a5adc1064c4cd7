#pragma once

#include <QTableView>

#include "frame/CommandTarget.h"

class LogTableModel;

// The log list view (control 190 of the client dialog): a report view over the log's rows with one full-row
// selection that stays visible without the focus, and column widths that the user cannot change. A header click
// is reported as HeaderClicked; the client sorts. A table view with fixed row heights keeps no record per row, so
// a million-row log costs the view next to nothing. Its context menu's commands are routed to it like any other
// command, so it takes commands too.
class TPacequillListWindow : public QTableView, public CommandTarget {
    Q_OBJECT

public:
    explicit TPacequillListWindow(QWidget *parent = nullptr);

    void SetLogModel(LogTableModel *model);
    // Sets the four column widths from the view's outer width; done once, when the client is set up.
    void SetupColumns();
    // Scrolls the row into view and makes it the one selected row.
    void ShowAndSelect(int row);
    // The header's arrow claims the rows' order; rows added or a new log end that order, and the arrow goes.
    void ShowSortIndicator(int column, bool ascending);
    void HideSortIndicator();

signals:
    void HeaderClicked(int column);
    // The user selected a row (or none: -1).
    void RowSelected(int row);

protected:
    void changeEvent(QEvent *event) override;
    // A press of either button beside the rows clears the selection, so a right-click there offers no row.
    void mousePressEvent(QMouseEvent *event) override;
    // A cell too narrow for its text shows the whole text as its tooltip.
    bool viewportEvent(QEvent *event) override;
    // Keys move between rows as in a list: Home and End go to the first and last row, Left and Right scroll.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void OnSelectionChanged();
    void FitRowHeight();
};
