#include "insight/ShoesPage.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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

// The columns; with a profile the limit and what is left of it come before the status.
enum ShoeColumn { NameColumn, RunsColumn, DistanceColumnOfShoe, FirstColumn, LastColumn, LimitColumn, LeftColumn };
constexpr int StatusColumnAlone = LimitColumn;
constexpr int StatusColumnWithProfile = LeftColumn + 1;

constexpr double LargestLimit = 100000;
constexpr int LimitDecimals = 1;
const QString PastLimitText = QStringLiteral("past the limit");
const QString RetiredText = QStringLiteral("retired");
const QString StatusHeader = QStringLiteral("Status");
constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
const QString NoRunsText = QStringLiteral("Double-click a shoe to list its runs.");
const QString NoFileTip = QStringLiteral("The profile is kept beside the log's file: save the log first");

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
    : QWidget(parent), Unit(new QComboBox), LimitBox(new QDoubleSpinBox),
      Table(new QTableWidget(0, StatusColumnAlone + 1)), RunsLabel(new QLabel), Runs(new QTableView),
      RunsModel(new ShoeRunsModel(this)) {
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
    Settings = new QPushButton(QStringLiteral("Shoe S&ettings..."));
    Settings->setObjectName(QStringLiteral("ShoeSettings"));
    options->addWidget(Settings);

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
    RunsLabel->setText(NoRunsText);
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
    connect(Table, &QTableWidget::currentCellChanged, this, &ShoesPage::UpdateSettingsButton);
    connect(Settings, &QPushButton::clicked, this, [this] {
        if (Table->currentRow() >= 0)
            emit SettingsRequested(Table->currentRow());
    });
    UpdateSettingsButton();
}

void ShoesPage::Show(const pq::LogList &list, const pq::RowFilter &filter, const pq::LogProfile &profile) {
    List = &list;
    Filter = filter;
    Profile = profile;
    RunsModel->SetRows(nullptr, {});
    RunsLabel->setText(NoRunsText);
    Collect();
    Fill();
}

void ShoesPage::SetSettingsWritable(bool writable) {
    Writable = writable;
    UpdateSettingsButton();
}

void ShoesPage::UpdateSettingsButton() {
    Settings->setEnabled(Writable && Table->currentRow() >= 0);
    Settings->setToolTip(Writable ? QStringLiteral("Edit the limit, start, retired date and default of the chosen shoe")
                                  : NoFileTip);
}

pq::ProfileDistance ShoesPage::ShownLimit() const {
    return {LimitBox->value(), InKilometers() ? pq::DistanceUnit::Kilometers : pq::DistanceUnit::Miles};
}

// The registry in the order shown, and each shoe's totals for those who ask for them.
void ShoesPage::Collect() {
    Rows = List ? pq::CollectShoes(*List, Profile, ShownLimit(), Filter) : std::vector<pq::ShoeRow>();
    Totals.clear();
    Totals.reserve(Rows.size());
    for (const pq::ShoeRow &shoe : Rows)
        Totals.push_back(
            {shoe.Name, shoe.Runs, shoe.Miles, shoe.Kilometers, shoe.FirstDate, shoe.LastDate, shoe.LastRow});
}

// A new global limit changes only the limit and the status of the shoes without their own. The registry judges
// them again from their distances alone, given as their starts in the unit shown (the unit of the global limit),
// without reading the log's notes again; its order is the same, by name with the retired ones last.
void ShoesPage::ApplyLimit() {
    pq::LogProfile distances;
    distances.Shoes.reserve(Rows.size());
    for (const pq::ShoeRow &shoe : Rows) {
        pq::ShoeSettings settings = shoe.Settings;
        settings.Start = pq::ProfileDistance{pq::DistanceIn(shoe, ShownLimit().Unit), ShownLimit().Unit};
        distances.Shoes.push_back(std::move(settings));
    }
    const std::vector<pq::ShoeRow> judged = pq::CollectShoes(pq::LogList(), distances, ShownLimit());
    for (std::size_t i = 0; i < Rows.size() && i < judged.size(); ++i) {
        if (!Rows[i].OwnLimit) {
            Rows[i].Limit = judged[i].Limit;
            Rows[i].Status = judged[i].Status;
        }
    }
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
    ApplyLimit();
    Fill();
}

void ShoesPage::OnUnitPicked() {
    SetLimitMiles(Limit);
}

void ShoesPage::OnLimitEdited(double value) {
    Limit = InKilometers() ? value / pq::KilometersPerMile : value;
    ApplyLimit();
    Fill();
}

void ShoesPage::Fill() {
    const bool km = InKilometers();
    const pq::DistanceUnit unit = km ? pq::DistanceUnit::Kilometers : pq::DistanceUnit::Miles;
    // Without a profile the page is as it always was: the status follows the last run.
    const bool registry = Profile.Exists;
    const int statusColumn = registry ? StatusColumnWithProfile : StatusColumnAlone;
    const QString chosen = Table->currentRow() >= 0 && Table->item(Table->currentRow(), NameColumn)
                               ? Table->item(Table->currentRow(), NameColumn)->text()
                               : QString();
    Table->setColumnCount(statusColumn + 1);
    QStringList headers{QStringLiteral("Shoe"), QStringLiteral("Runs"),
                        km ? QStringLiteral("Kilometers") : QStringLiteral("Miles"), QStringLiteral("First run"),
                        QStringLiteral("Last run")};
    if (registry)
        headers << QStringLiteral("Limit") << QStringLiteral("Left");
    headers << StatusHeader;
    Table->setHorizontalHeaderLabels(headers);
    Table->setRowCount(static_cast<int>(Rows.size()));
    const auto distance = [](double value) { return Cell(QString::fromStdString(pq::FormatHundredths(value)), Right); };
    int current = -1;
    for (int row = 0; row < Table->rowCount(); ++row) {
        const pq::ShoeRow &shoe = Rows[static_cast<std::size_t>(row)];
        const QString name = QLatin1Char(pq::ShoeSign) + Decoded(shoe.Name);
        if (name == chosen)
            current = row;
        Table->setItem(row, NameColumn, Cell(name));
        Table->setItem(row, RunsColumn, Cell(QString::number(shoe.Runs), Right));
        Table->setItem(row, DistanceColumnOfShoe, distance(pq::DistanceIn(shoe, unit)));
        Table->setItem(row, FirstColumn, Cell(QString::fromStdString(shoe.FirstDate)));
        Table->setItem(row, LastColumn, Cell(QString::fromStdString(shoe.LastDate)));
        if (registry) {
            Table->setItem(row, LimitColumn, distance(pq::LimitIn(shoe, unit)));
            Table->setItem(row, LeftColumn, distance(pq::LeftIn(shoe, unit)));
        }
        QTableWidgetItem *mark = Cell(shoe.Status == pq::ShoeStatus::Over      ? PastLimitText
                                      : shoe.Status == pq::ShoeStatus::Retired ? RetiredText
                                                                               : QString());
        QFont bold = mark->font();
        bold.setBold(shoe.Status == pq::ShoeStatus::Over);
        mark->setFont(bold);
        Table->setItem(row, statusColumn, mark);
    }
    Table->resizeColumnsToContents();
    if (current >= 0)
        Table->setCurrentCell(current, NameColumn);
    UpdateSettingsButton();
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
