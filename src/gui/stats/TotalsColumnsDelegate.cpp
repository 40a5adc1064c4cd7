#include "stats/TotalsColumnsDelegate.h"

void TotalsColumnsDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() > 0)
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}
