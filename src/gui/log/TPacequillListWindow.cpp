#include "log/TPacequillListWindow.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include "log/LogEntry.h"
#include "log/LogTableModel.h"

namespace {

// Column widths as parts of the list's outer width W: 3W/20, W/5, W/5 and 9W/20 - 20.
constexpr int WidthTwentieths[pq::ColumnCount] = {3, 4, 4, 9};
constexpr int WidthDivisor = 20;
constexpr int NotesWidthAllowance = 20; // room for the vertical scroll bar
// Room above and below a row's text, the same as a list with one line a row gives it.
constexpr int RowTextMargin = 2;

} // namespace

TPacequillListWindow::TPacequillListWindow(QWidget *parent) : QTableView(parent) {
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // The selection is shown as strongly without the focus as with it.
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    FitRowHeight();

    QHeaderView *columns = horizontalHeader();
    columns->setSectionsMovable(false);
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(columns, &QHeaderView::sectionClicked, this, &TPacequillListWindow::HeaderClicked);
}

void TPacequillListWindow::SetLogModel(LogTableModel *model) {
    setModel(model);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TPacequillListWindow::OnSelectionChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &TPacequillListWindow::HideSortIndicator);
    connect(model, &QAbstractItemModel::modelReset, this, &TPacequillListWindow::HideSortIndicator);
}

void TPacequillListWindow::SetupColumns() {
    const int outerWidth = frameGeometry().width();
    for (int column = 0; column < pq::ColumnCount; ++column) {
        int width = outerWidth * WidthTwentieths[column] / WidthDivisor;
        if (column == pq::NotesColumn)
            width -= NotesWidthAllowance;
        horizontalHeader()->resizeSection(column, width);
    }
}

void TPacequillListWindow::ShowAndSelect(int row) {
    const QModelIndex index = model()->index(row, 0);
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TPacequillListWindow::ShowSortIndicator(int column, bool ascending) {
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TPacequillListWindow::HideSortIndicator() {
    horizontalHeader()->setSortIndicatorShown(false);
}

void TPacequillListWindow::mousePressEvent(QMouseEvent *event) {
    if (!indexAt(event->position().toPoint()).isValid())
        clearSelection();
    QTableView::mousePressEvent(event);
}

bool TPacequillListWindow::viewportEvent(QEvent *event) {
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.data().toString();
    const QRect cell = visualRect(index);
    // The room the cell gives its text: its width less the item's text margins on both sides.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    if (!index.isValid() || fontMetrics().horizontalAdvance(text) <= cell.width() - 2 * margin) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // As rich text, so that a long text wraps; escaped, so that the notes' own "<" stay text.
    QToolTip::showText(help->globalPos(), QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()), viewport(), cell);
    return true;
}

void TPacequillListWindow::changeEvent(QEvent *event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitRowHeight();
}

QModelIndex TPacequillListWindow::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    const int rows = model() ? model()->rowCount() : 0;
    const int column = current.isValid() ? current.column() : 0;
    switch (cursorAction) {
    case MoveHome:
        return rows > 0 ? model()->index(0, column) : QModelIndex();
    case MoveEnd:
        return rows > 0 ? model()->index(rows - 1, column) : QModelIndex();
    case MoveLeft:
    case MoveRight: {
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() + (cursorAction == MoveLeft ? -bar->singleStep() : bar->singleStep()));
        return current;
    }
    default:
        return QTableView::moveCursor(cursorAction, modifiers);
    }
}

void TPacequillListWindow::OnSelectionChanged() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    emit RowSelected(rows.isEmpty() ? -1 : rows.constLast().row());
}

void TPacequillListWindow::FitRowHeight() {
    const int height = fontMetrics().height() + 2 * RowTextMargin;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}
