#include "log/LocaleCollation.h"

#include <QLocale>
#include <QString>

#include "log/CodePage1252.h"
#include "log/LogList.h"

LocaleCollation::LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator)
    : TPQLComparator(list, column, ascending) {
    const int rows = list.RowCount();
    Keys.reserve(static_cast<std::size_t>(rows));
    QString decoded; // reused, so a row costs no allocation beyond its key
    for (int row = 0; row < rows; ++row) {
        const std::string_view text = list.Text(row, column).substr(0, pq::SortTextWidth);
        decoded.resize(static_cast<qsizetype>(text.size()));
        for (std::size_t i = 0; i < text.size(); ++i)
            decoded[static_cast<qsizetype>(i)] = QChar(pq::DecodeByte1252(static_cast<unsigned char>(text[i])));
        Keys.push_back(collator.sortKey(decoded));
    }
}

int LocaleCollation::Compare(int firstRow, int secondRow) const {
    const int order = Keys[static_cast<std::size_t>(firstRow)].compare(Keys[static_cast<std::size_t>(secondRow)]);
    return Ascending ? order : -order;
}

QCollator LocaleCollation::UserCollator() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}
