#pragma once

#include <QStyledItemDelegate>

// Draws the totals of a report list's rows right-aligned (every column after the first), in place of an alignment
// stored in each of thousands of items.
class TotalsColumnsDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
