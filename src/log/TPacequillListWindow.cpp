#include "log/TPacequillListWindow.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>

#include "log/LogEntry.h"
#include "log/LogTableModel.h"

namespace {

// Column widths as parts of the list's outer width W: 3W/20, W/5, W/5 and 9W/20 - 20.
constexpr int WidthTwentieths[pq::ColumnCount] = {3, 4, 4, 9};
constexpr int WidthDivisor = 20;
constexpr int NotesWidthAllowance = 20; // room for the vertical scroll bar

} // namespace

TPacequillListWindow::TPacequillListWindow(QWidget *parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);

    // The selection is shown as strongly without the focus as with it.
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    QHeaderView *columns = header();
    columns->setSectionsMovable(false);
    columns->setSectionsClickable(true);
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(columns, &QHeaderView::sectionClicked, this, &TPacequillListWindow::HeaderClicked);
}

void TPacequillListWindow::SetLogModel(LogTableModel *model) {
    setModel(model);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TPacequillListWindow::OnSelectionChanged);
}

void TPacequillListWindow::SetupColumns() {
    const int outerWidth = frameGeometry().width();
    for (int column = 0; column < pq::ColumnCount; ++column) {
        int width = outerWidth * WidthTwentieths[column] / WidthDivisor;
        if (column == pq::NotesColumn)
            width -= NotesWidthAllowance;
        header()->resizeSection(column, width);
    }
}

void TPacequillListWindow::ShowAndSelect(int row) {
    const QModelIndex index = model()->index(row, 0);
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TPacequillListWindow::ShowSortIndicator(int column, bool ascending) {
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TPacequillListWindow::OnSelectionChanged() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    emit RowSelected(rows.isEmpty() ? -1 : rows.constLast().row());
}
