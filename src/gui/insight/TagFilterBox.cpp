#include "insight/TagFilterBox.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "insight/InsightSource.h"
#include "insight/MarkTotals.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

const QString TagFilterBox::AllText = QStringLiteral("All");

TagFilterBox::TagFilterBox(QWidget *parent) : QComboBox(parent) {
    addItem(AllText);
    setAccessibleName(QStringLiteral("Tag"));
    setToolTip(QStringLiteral("Only the runs with this tag in their notes"));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void TagFilterBox::SetTags(const pq::LogList &list) {
    SetTags(pq::MarkNames(list, pq::TagSign));
}

void TagFilterBox::SetTags(const std::vector<std::string> &names) {
    const std::optional<std::string> chosen = Tag();
    // The caller shows the log afresh after this, so the choice changes quietly here.
    const QSignalBlocker quiet(this);
    clear();
    addItem(AllText);
    for (const std::string &name : names) {
        addItem(QLatin1Char(pq::TagSign) + QString::fromStdU16String(pq::Decode1252(name)),
                QByteArray::fromStdString(name));
    }
    if (chosen) {
        ChooseTag(*chosen);
    }
}

std::optional<std::string> TagFilterBox::Tag() const {
    if (currentIndex() <= 0) {
        return std::nullopt;
    }
    return currentData().toByteArray().toStdString();
}

bool TagFilterBox::ChooseTag(const std::string &name) {
    for (int item = 1; item < count(); ++item) {
        if (pq::SameMarkName(itemData(item).toByteArray().toStdString(), name)) {
            setCurrentIndex(item);
            return true;
        }
    }
    setCurrentIndex(0);
    return false;
}

pq::RowFilter TagFilterBox::Filter(const pq::LogList &list) const {
    const std::optional<std::string> tag = Tag();
    return tag ? pq::MarkFilter(list, pq::TagSign, *tag) : pq::RowFilter();
}

void TagFilterBox::Follow(InsightSource &source) {
    const auto showSource = [this, &source] {
        SetTags(source.TagNames());
        const QSignalBlocker quiet(this);
        if (!source.Tag()) {
            setCurrentIndex(0);
        } else if (!ChooseTag(*source.Tag())) {
            // The log no longer has the tag: every run takes part again.
            source.SetTag(std::nullopt);
        }
    };
    showSource();
    connect(&source, &InsightSource::RunsChanged, this, showSource);
    connect(this, &QComboBox::currentIndexChanged, &source, [this, &source] {
        if (Tag() != source.Tag()) {
            source.SetTag(Tag());
        }
    });
}

TagFilterBox *TagFilterBox::AddTo(QBoxLayout *row, InsightSource &source) {
    auto *caption = new QLabel(tr("&Tag:"));
    auto *box = new TagFilterBox;
    box->setObjectName(QStringLiteral("Tag"));
    caption->setBuddy(box);
    row->addWidget(caption);
    row->addWidget(box);
    box->Follow(source);
    return box;
}
