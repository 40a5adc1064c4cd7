#include "import/ImportReviewDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "calc/DateRules.h"
#include "import/ActivityEntry.h"
#include "import/ImportShoeCheck.h"
#include "log/CodePage1252.h"
#include "log/NoteMarks.h"

namespace {

const QString Caption = QStringLiteral("Import Activities");
const QStringList Headers = {QStringLiteral("Date"), QStringLiteral("Sport"),  QStringLiteral("Distance"),
                             QStringLiteral("Time"), QStringLiteral("Moving"), QStringLiteral("Elapsed"),
                             QStringLiteral("File"), QStringLiteral("Remark")};
const QString MovingChoice = QStringLiteral("Moving time");
const QString ElapsedChoice = QStringLiteral("Elapsed time");
const QString DuplicateRemark = QStringLiteral("already in the log");
const QString NotARunRemark = QStringLiteral("not a run");
const QString SelectAllText = QStringLiteral("Select &All");
const QString SelectNoneText = QStringLiteral("Select &None");
const QString UnreadableLabel = QStringLiteral("Files that could not be read:");
const QString DefaultShoeText =
    QStringLiteral("Runs from GPX, TCX and FIT files whose notes name no shoe get %1, the profile's default shoe.");
const QString OverLimitText = QStringLiteral("The ticked runs take shoes over their limits:\n%1");
constexpr int UnitIndexes[] = {static_cast<int>(pq::DistanceUnit::Miles),
                               static_cast<int>(pq::DistanceUnit::Kilometers)};
constexpr int MinimumWidth = 640;
constexpr int MinimumHeight = 360;

QString FromLog(const std::string &bytes) {
    return QString::fromStdU16String(pq::Decode1252(bytes));
}

QString FromPath(const std::string &path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

ImportReviewDialog::ImportReviewDialog(pq::ImportReview &review, QWidget *parent, const ImportShoeCheck *shoes)
    : QDialog(parent), Review(review), Shoes(shoes) {
    setWindowTitle(Caption);
    setMinimumSize(MinimumWidth, MinimumHeight);
    setSizeGripEnabled(true);

    auto *layout = new QVBoxLayout(this);
    Counts = new QLabel(this);
    Counts->setWordWrap(true);
    layout->addWidget(Counts);
    if (Shoes && !Shoes->DefaultShoe().empty()) {
        auto *shoe = new QLabel(DefaultShoeText.arg(QLatin1Char(pq::ShoeSign) + FromLog(Shoes->DefaultShoe())), this);
        shoe->setWordWrap(true);
        shoe->setTextFormat(Qt::PlainText);
        layout->addWidget(shoe);
    }

    List = new QTreeWidget(this);
    List->setColumnCount(ColumnCount);
    List->setHeaderLabels(Headers);
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setAccessibleName(QStringLiteral("Activities found"));
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(List, 1);
    OverLimit = new QLabel(this);
    OverLimit->setWordWrap(true);
    OverLimit->setTextFormat(Qt::PlainText);
    OverLimit->hide();
    layout->addWidget(OverLimit);

    auto *unitRow = new QHBoxLayout;
    auto *unitLabel = new QLabel(QStringLiteral("&Unit of the distances:"), this);
    Unit = new QComboBox(this);
    for (const int index : UnitIndexes) {
        Unit->addItem(QString::fromUtf8(pq::UnitWord(static_cast<pq::DistanceUnit>(index)).data()), index);
    }
    Unit->setCurrentIndex(Unit->findData(static_cast<int>(Review.Unit())));
    unitLabel->setBuddy(Unit);
    unitRow->addWidget(unitLabel);
    unitRow->addWidget(Unit);
    auto *timeLabel = new QLabel(QStringLiteral("&Time of the rows:"), this);
    Time = new QComboBox(this);
    Time->addItem(MovingChoice, static_cast<int>(pq::RowTime::Moving));
    Time->addItem(ElapsedChoice, static_cast<int>(pq::RowTime::Elapsed));
    Time->setCurrentIndex(Time->findData(static_cast<int>(Review.Time())));
    timeLabel->setBuddy(Time);
    unitRow->addWidget(timeLabel);
    unitRow->addWidget(Time);
    unitRow->addStretch(1);
    layout->addLayout(unitRow);

    auto *failuresLabel = new QLabel(UnreadableLabel, this);
    Failures = new QListWidget(this);
    Failures->setAccessibleName(UnreadableLabel);
    failuresLabel->setBuddy(Failures);
    for (const pq::ReadError &error : Review.Unreadable()) {
        Failures->addItem(QString::fromUtf8(error.Text().c_str()));
    }
    failuresLabel->setVisible(Failures->count() > 0);
    Failures->setVisible(Failures->count() > 0);
    layout->addWidget(failuresLabel);
    layout->addWidget(Failures);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ImportButton = buttons->button(QDialogButtonBox::Ok);
    auto *selectAll = buttons->addButton(SelectAllText, QDialogButtonBox::ActionRole);
    auto *selectNone = buttons->addButton(SelectNoneText, QDialogButtonBox::ActionRole);
    connect(selectAll, &QPushButton::clicked, this, [this] { TickAll(Qt::Checked); });
    connect(selectNone, &QPushButton::clicked, this, [this] { TickAll(Qt::Unchecked); });
    connect(List, &QTreeWidget::itemChanged, this, &ImportReviewDialog::CountTicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(Unit, &QComboBox::currentIndexChanged, this, [this](int index) {
        Refill([this, index] { Review.SetUnit(static_cast<pq::DistanceUnit>(Unit->itemData(index).toInt())); });
    });
    connect(Time, &QComboBox::currentIndexChanged, this, [this](int index) {
        Refill([this, index] { Review.SetTime(static_cast<pq::RowTime>(Time->itemData(index).toInt())); });
    });
    // Only the Date of a row without one is edited, and only when asked for.
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(List, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int column) {
        if (column == DateColumn && (item->flags() & Qt::ItemIsEditable) != 0) {
            List->editItem(item, DateColumn);
        }
    });
    connect(List, &QTreeWidget::itemChanged, this, &ImportReviewDialog::OnDateEdited);
    Fill();
}

void ImportReviewDialog::Fill() {
    // Counted once at the end, not at every line's change.
    const QSignalBlocker quiet(List);
    List->clear();
    const std::vector<pq::ImportReview::Candidate> &candidates = Review.Candidates();
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const pq::ImportReview::Candidate &candidate = candidates[i];
        auto *item = new QTreeWidgetItem(List);
        item->setText(DateColumn, FromLog(candidate.Entry.Date));
        item->setText(SportColumn, QString::fromUtf8(pq::SportWords(candidate.Found).c_str()));
        item->setText(DistanceColumn, FromLog(candidate.Entry.Distance));
        item->setText(TimeColumn, FromLog(candidate.Entry.Time));
        if (!candidate.FromCsv) {
            item->setText(MovingColumn, QString::fromStdString(pq::MovingTimeText(candidate.Found.MovingSeconds)));
            item->setText(ElapsedColumn, QString::fromStdString(pq::MovingTimeText(candidate.Found.ElapsedSeconds)));
        }
        item->setText(FileColumn, QFileInfo(FromPath(candidate.File)).fileName());
        item->setToolTip(FileColumn, FromPath(candidate.File));
        item->setText(RemarkColumn, candidate.Duplicate         ? DuplicateRemark
                                    : !candidate.Remark.empty() ? QString::fromUtf8(candidate.Remark.c_str())
                                    : !candidate.Found.Running  ? NotARunRemark
                                                                : QString());
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (candidate.Fits) {
            flags |= Qt::ItemIsUserCheckable;
        }
        if (!candidate.FromCsv && !pq::HasLogDate(candidate.Found)) {
            flags |= Qt::ItemIsEditable;
            item->setToolTip(DateColumn, QStringLiteral("Double-click to type the date (yyyy/mm/dd)"));
        }
        item->setFlags(flags);
        item->setCheckState(DateColumn, Review.TickedAtFirst(i) ? Qt::Checked : Qt::Unchecked);
    }
    const std::size_t files = Review.Unreadable().size();
    Counts->setText((candidates.size() == 1 ? QStringLiteral("1 activity found")
                                            : QStringLiteral("%1 activities found").arg(candidates.size())) +
                    QStringLiteral("; %1 already in the log (not ticked); ").arg(Review.DuplicateCount()) +
                    (files == 1 ? QStringLiteral("1 file could not be read.")
                                : QStringLiteral("%1 files could not be read.").arg(files)));
    CountTicked();
}

// The user's ticks stay, except on rows that the change makes duplicates or too long.
void ImportReviewDialog::Refill(const std::function<void()> &change) {
    std::vector<bool> ticked;
    ticked.reserve(static_cast<std::size_t>(List->topLevelItemCount()));
    for (int row = 0; row < List->topLevelItemCount(); ++row) {
        ticked.push_back(List->topLevelItem(row)->checkState(DateColumn) == Qt::Checked);
    }
    change();
    Fill();
    const QSignalBlocker quiet(List);
    const std::vector<pq::ImportReview::Candidate> &candidates = Review.Candidates();
    for (int row = 0; row < List->topLevelItemCount(); ++row) {
        const pq::ImportReview::Candidate &candidate = candidates[static_cast<std::size_t>(row)];
        const bool keep = ticked[static_cast<std::size_t>(row)] && candidate.Fits && !candidate.Duplicate;
        List->topLevelItem(row)->setCheckState(DateColumn, keep ? Qt::Checked : Qt::Unchecked);
    }
    CountTicked();
}

void ImportReviewDialog::TickAll(Qt::CheckState state) {
    {
        const QSignalBlocker quiet(List);
        for (int row = 0; row < List->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = List->topLevelItem(row);
            if (item->flags() & Qt::ItemIsUserCheckable)
                item->setCheckState(DateColumn, state);
        }
    }
    CountTicked();
}

void ImportReviewDialog::CountTicked() {
    const std::vector<pq::LogEntry> ticked = TickedEntries();
    const std::size_t runs = ticked.size();
    ImportButton->setText(runs == 1 ? QStringLiteral("&Import 1 Run") : QStringLiteral("&Import %1 Runs").arg(runs));
    ImportButton->setEnabled(runs > 0);
    const QStringList over = Shoes ? Shoes->TakenOver(ticked) : QStringList();
    OverLimit->setText(over.isEmpty() ? QString() : OverLimitText.arg(over.join(QLatin1Char('\n'))));
    OverLimit->setVisible(!over.isEmpty());
}

// A date typed for a row without one: a valid date becomes the row's and ticks it; anything else is undone.
void ImportReviewDialog::OnDateEdited(QTreeWidgetItem *item, int column) {
    const int row = List->indexOfTopLevelItem(item);
    const pq::ImportReview::Candidate &edited = Review.Candidates()[static_cast<std::size_t>(row)];
    if (column != DateColumn || item->text(DateColumn) == FromLog(edited.Entry.Date)) {
        return;
    }
    pq::CivilDate date;
    const std::string typed = item->text(DateColumn).trimmed().toStdString();
    if (!pq::ReadDateText(typed, date)) {
        QMetaObject::invokeMethod(
            this, [this] { Refill([] {}); }, Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, row, date] {
            Refill([this, row, date] { Review.SetDate(static_cast<std::size_t>(row), date); });
            const pq::ImportReview::Candidate &candidate = Review.Candidates()[static_cast<std::size_t>(row)];
            if (candidate.Fits && !candidate.Duplicate && candidate.Found.DistanceMeters > 0) {
                const QSignalBlocker quiet(List);
                List->topLevelItem(row)->setCheckState(DateColumn, Qt::Checked);
            }
        },
        Qt::QueuedConnection);
}

std::vector<pq::LogEntry> ImportReviewDialog::TickedEntries() const {
    std::vector<pq::LogEntry> entries;
    const std::vector<pq::ImportReview::Candidate> &candidates = Review.Candidates();
    for (int row = 0; row < List->topLevelItemCount(); ++row) {
        const std::size_t index = static_cast<std::size_t>(row);
        if (List->topLevelItem(row)->checkState(DateColumn) == Qt::Checked && candidates[index].Fits) {
            entries.push_back(candidates[index].Entry);
        }
    }
    return entries;
}
