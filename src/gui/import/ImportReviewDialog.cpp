#include "import/ImportReviewDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "import/ActivityEntry.h"
#include "log/CodePage1252.h"

namespace {

const QString Caption = QStringLiteral("Import Activities");
const QStringList Headers = {QStringLiteral("Date"), QStringLiteral("Sport"), QStringLiteral("Distance"),
                             QStringLiteral("Time"), QStringLiteral("File"),  QStringLiteral("Remark")};
const QString DuplicateRemark = QStringLiteral("already in the log");
const QString TooLongRemark = QStringLiteral("distance too long for the log");
const QString UnreadableLabel = QStringLiteral("Files that could not be read:");
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

ImportReviewDialog::ImportReviewDialog(pq::ImportReview &review, QWidget *parent) : QDialog(parent), Review(review) {
    setWindowTitle(Caption);
    setMinimumSize(MinimumWidth, MinimumHeight);
    setSizeGripEnabled(true);

    auto *layout = new QVBoxLayout(this);
    Counts = new QLabel(this);
    Counts->setWordWrap(true);
    layout->addWidget(Counts);

    List = new QTreeWidget(this);
    List->setColumnCount(ColumnCount);
    List->setHeaderLabels(Headers);
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setAccessibleName(QStringLiteral("Activities found"));
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(List, 1);

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
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(Unit, &QComboBox::currentIndexChanged, this, &ImportReviewDialog::OnUnitChanged);
    Fill();
}

void ImportReviewDialog::Fill() {
    List->clear();
    const std::vector<pq::ImportReview::Candidate> &candidates = Review.Candidates();
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const pq::ImportReview::Candidate &candidate = candidates[i];
        auto *item = new QTreeWidgetItem(List);
        item->setText(DateColumn, FromLog(candidate.Entry.Date));
        item->setText(SportColumn, QString::fromUtf8(pq::SportLabel(candidate.Found).c_str()));
        item->setText(DistanceColumn, FromLog(candidate.Entry.Distance));
        item->setText(TimeColumn, FromLog(candidate.Entry.Time));
        item->setText(FileColumn, QFileInfo(FromPath(candidate.File)).fileName());
        item->setToolTip(FileColumn, FromPath(candidate.File));
        item->setText(RemarkColumn, !candidate.Fits       ? TooLongRemark
                                    : candidate.Duplicate ? DuplicateRemark
                                                          : QString());
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (candidate.Fits) {
            flags |= Qt::ItemIsUserCheckable;
        }
        item->setFlags(flags);
        item->setCheckState(DateColumn, Review.TickedAtFirst(i) ? Qt::Checked : Qt::Unchecked);
    }
    const std::size_t files = Review.Unreadable().size();
    Counts->setText(QStringLiteral("%1 activities found; %2 already in the log (not ticked); %3 file(s) could not "
                                   "be read.")
                        .arg(candidates.size())
                        .arg(Review.DuplicateCount())
                        .arg(files));
}

// The user's ticks stay, except on rows that the new unit makes duplicates or too long.
void ImportReviewDialog::OnUnitChanged(int index) {
    std::vector<bool> ticked;
    ticked.reserve(static_cast<std::size_t>(List->topLevelItemCount()));
    for (int row = 0; row < List->topLevelItemCount(); ++row) {
        ticked.push_back(List->topLevelItem(row)->checkState(DateColumn) == Qt::Checked);
    }
    Review.SetUnit(static_cast<pq::DistanceUnit>(Unit->itemData(index).toInt()));
    Fill();
    const std::vector<pq::ImportReview::Candidate> &candidates = Review.Candidates();
    for (int row = 0; row < List->topLevelItemCount(); ++row) {
        const pq::ImportReview::Candidate &candidate = candidates[static_cast<std::size_t>(row)];
        const bool keep = ticked[static_cast<std::size_t>(row)] && candidate.Fits && !candidate.Duplicate;
        List->topLevelItem(row)->setCheckState(DateColumn, keep ? Qt::Checked : Qt::Unchecked);
    }
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
