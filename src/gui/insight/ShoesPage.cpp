#include "insight/ShoesPage.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "calc/RunArithmetic.h"
#include "insight/ShoeRunsModel.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

namespace {

enum ShoeColumn { NameColumn, RunsColumn, DistanceColumnOfShoe, FirstColumn, LastColumn, MarkColumn, ShoeColumns };

constexpr double LargestLimit = 100000;
constexpr int LimitDecimals = 1;
const QString PastLimitText = QStringLiteral("past the limit");
const QString StatusHeader = QStringLiteral("Status");

QString Decoded(std::string_view bytes) {
    return QString::fromStdU16String(pq::Decode1252(bytes));
}

QTableWidgetItem *Cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

ShoesPage::ShoesPage(QWidget *parent)
    : QWidget(parent), Unit(new QComboBox), LimitBox(new QDoubleSpinBox), Table(new QTableWidget(0, ShoeColumns)),
      RunsLabel(new QLabel), Runs(new QTableView), RunsModel(new ShoeRunsModel(this)) {
    Unit->addItems({QStringLiteral("Miles"), QStringLiteral("Kilometers")});
    Unit->setAccessibleName(QStringLiteral("Unit"));
    LimitBox->setRange(0, LargestLimit);
    LimitBox->setDecimals(LimitDecimals);
    LimitBox->setAccessibleName(QStringLiteral("Distance limit"));
    LimitBox->setToolTip(QStringLiteral("A shoe with more than this distance is marked"));

    auto *options = new QHBoxLayout;
    auto *unitLabel = new QLabel(QStringLiteral("&Unit:"));
    unitLabel->setBuddy(Unit);
    auto *limitLabel = new QLabel(QStringLiteral("&Limit:"));
    limitLabel->setBuddy(LimitBox);
    options->addWidget(unitLabel);
    options->addWidget(Unit);
    options->addSpacing(fontMetrics().averageCharWidth() * 2);
    options->addWidget(limitLabel);
    options->addWidget(LimitBox);
    options->addStretch();

    Table->setHorizontalHeaderLabels({QStringLiteral("Shoe"), QStringLiteral("Runs"), QString(),
                                      QStringLiteral("First run"), QStringLiteral("Last run"), StatusHeader});
    Table->setAccessibleName(QStringLiteral("Shoes"));
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);

    Runs->setModel(RunsModel);
    Runs->setAccessibleName(QStringLiteral("Runs in the shoe"));
    Runs->setSelectionBehavior(QAbstractItemView::SelectRows);
    Runs->setSelectionMode(QAbstractItemView::SingleSelection);
    Runs->verticalHeader()->hide();
    Runs->horizontalHeader()->setStretchLastSection(true);
    RunsLabel->setText(QStringLiteral("Double-click a shoe to list its runs."));
    RunsLabel->setBuddy(Runs);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(Table, 1);
    layout->addWidget(RunsLabel);
    layout->addWidget(Runs, 1);

    SetLimitMiles(DefaultLimitMiles);
    connect(Unit, &QComboBox::activated, this, &ShoesPage::OnUnitPicked);
    connect(LimitBox, &QDoubleSpinBox::valueChanged, this, &ShoesPage::OnLimitEdited);
    // Activation is the double-click (or the single click, where the desktop opens items so) and Enter.
    connect(Table, &QTableWidget::cellActivated, this, [this](int row, int) { OpenShoe(row); });
    connect(Runs, &QTableView::activated, this,
            [this](const QModelIndex &index) { emit RunChosen(RunsModel->LogRow(index.row())); });
}

void ShoesPage::Show(const pq::LogList &list, const pq::RowFilter &filter) {
    List = &list;
    Filter = filter;
    Totals = pq::CollectMarkTotals(list, pq::ShoeSign, filter);
    RunsModel->SetRows(nullptr, {});
    RunsLabel->setText(QStringLiteral("Double-click a shoe to list its runs."));
    Fill();
}

bool ShoesPage::InKilometers() const {
    return Unit->currentIndex() == static_cast<int>(pq::DistanceUnit::Kilometers);
}

void ShoesPage::SetKilometers(bool kilometers) {
    Unit->setCurrentIndex(static_cast<int>(kilometers ? pq::DistanceUnit::Kilometers : pq::DistanceUnit::Miles));
    OnUnitPicked();
}

void ShoesPage::SetLimitMiles(double miles) {
    Limit = miles;
    const QSignalBlocker quiet(LimitBox);
    const bool km = InKilometers();
    LimitBox->setValue(km ? miles * pq::KilometersPerMile : miles);
    LimitBox->setSuffix(km ? QStringLiteral(" km") : QStringLiteral(" mi"));
    Fill();
}

bool ShoesPage::PastLimit(const pq::MarkTotal &shoe) const {
    // Compared in the unit shown, so that what the page says and what it marks agree.
    return InKilometers() ? shoe.Kilometers > LimitBox->value() : shoe.Miles > LimitBox->value();
}

void ShoesPage::OnUnitPicked() {
    SetLimitMiles(Limit);
}

void ShoesPage::OnLimitEdited(double value) {
    Limit = InKilometers() ? value / pq::KilometersPerMile : value;
    Fill();
}

void ShoesPage::Fill() {
    const bool km = InKilometers();
    Table->setHorizontalHeaderItem(DistanceColumnOfShoe,
                                   new QTableWidgetItem(km ? QStringLiteral("Kilometers") : QStringLiteral("Miles")));
    Table->setRowCount(static_cast<int>(Totals.size()));
    constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
    for (int row = 0; row < Table->rowCount(); ++row) {
        const pq::MarkTotal &shoe = Totals[static_cast<std::size_t>(row)];
        Table->setItem(row, NameColumn, Cell(QLatin1Char(pq::ShoeSign) + Decoded(shoe.Name)));
        Table->setItem(row, RunsColumn, Cell(QString::number(shoe.Runs), Right));
        Table->setItem(row, DistanceColumnOfShoe,
                       Cell(QString::fromStdString(pq::FormatHundredths(km ? shoe.Kilometers : shoe.Miles)), Right));
        Table->setItem(row, FirstColumn, Cell(QString::fromStdString(shoe.FirstDate)));
        Table->setItem(row, LastColumn, Cell(QString::fromStdString(shoe.LastDate)));
        QTableWidgetItem *mark = Cell(PastLimit(shoe) ? PastLimitText : QString());
        QFont bold = mark->font();
        bold.setBold(true);
        mark->setFont(bold);
        Table->setItem(row, MarkColumn, mark);
    }
    Table->resizeColumnsToContents();
}

void ShoesPage::OpenShoe(int index) {
    if (List == nullptr || index < 0 || index >= static_cast<int>(Totals.size())) {
        return;
    }
    const pq::MarkTotal &shoe = Totals[static_cast<std::size_t>(index)];
    std::vector<int> rows;
    for (const int row : pq::MarkedRows(*List, pq::ShoeSign, shoe.Name)) {
        const bool counted =
            pq::CountedRunDistance(List->Text(row, pq::DateColumn), List->Text(row, pq::DistanceColumn)).has_value();
        if (counted && (!Filter || Filter(row))) {
            rows.push_back(row);
        }
    }
    // Oldest first; runs of one day in list order.
    std::stable_sort(rows.begin(), rows.end(),
                     [this](int a, int b) { return List->Text(a, pq::DateColumn) < List->Text(b, pq::DateColumn); });
    RunsModel->SetRows(List, rows);
    RunsLabel->setText(QStringLiteral("Runs in %1%2:").arg(QLatin1Char(pq::ShoeSign)).arg(Decoded(shoe.Name)));
    if (shoe.LastRow < 0) {
        return;
    }
    const auto last = std::find(rows.rbegin(), rows.rend(), shoe.LastRow);
    if (last != rows.rend()) {
        const int shown = static_cast<int>(std::distance(last, rows.rend())) - 1;
        Runs->selectRow(shown);
        Runs->scrollTo(RunsModel->index(shown, 0));
    }
    emit RunChosen(shoe.LastRow);
}
