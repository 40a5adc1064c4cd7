#include "log/LocaleCollation.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <numeric>
#include <string_view>

#include "log/CodePage1252.h"
#include "log/LogList.h"
#include "log/TextNumbering.h"

namespace {

// How many rows ahead the numbering asks for a row's texts.
constexpr std::size_t TextPrefetchDistance = 16;

QString DecodeForCollation(std::string_view text) {
    QString decoded(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i)
        decoded[static_cast<qsizetype>(i)] = QChar(pq::DecodeByte1252(static_cast<unsigned char>(text[i])));
    return decoded;
}

} // namespace

LocaleCollation::LocaleCollation(const pq::LogList &list, int column, bool ascending, const QCollator &collator)
    : TPQLComparator(list, column, ascending) {
    const auto rows = static_cast<std::size_t>(list.RowCount());

    // Logs repeat their texts (dates, distances, "None"): each distinct text is decoded and keyed once.
    pq::TextNumbering numbering;
    Ranks.resize(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        // After a sort the rows' texts lie anywhere in memory: they are asked for a little before they are read.
        if (row + TextPrefetchDistance < rows)
            list.PrefetchTexts(static_cast<int>(row + TextPrefetchDistance));
        Ranks[row] = numbering.Number(list.Text(static_cast<int>(row), column).substr(0, pq::SortTextWidth));
    }
    const std::size_t texts = numbering.Count();

    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts);
    for (std::size_t text = 0; text < texts; ++text)
        keys.push_back(collator.sortKey(DecodeForCollation(numbering.Text(text))));

    std::vector<int> order(texts);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        return keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]) < 0;
    });
    // Texts that collate equal share a rank, so the stable sort keeps their rows in their order.
    std::vector<int> textRanks(texts);
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto text = static_cast<std::size_t>(order[i]);
        if (i > 0 && keys[static_cast<std::size_t>(order[i - 1])].compare(keys[text]) != 0)
            ++rank;
        textRanks[text] = rank;
    }
    // Descending, the ranks are turned around, so that equal texts still keep their rows' order.
    for (int &row : Ranks) {
        const int textRank = textRanks[static_cast<std::size_t>(row)];
        row = ascending ? textRank : rank - textRank;
    }
}

int LocaleCollation::Compare(int firstRow, int secondRow) const {
    const int first = Ranks[static_cast<std::size_t>(firstRow)];
    const int second = Ranks[static_cast<std::size_t>(secondRow)];
    return (first > second) - (first < second);
}

std::span<const int> LocaleCollation::RowRanks() const {
    return Ranks;
}

QCollator LocaleCollation::UserCollator() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}
