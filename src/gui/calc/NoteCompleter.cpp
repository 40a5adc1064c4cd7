#include "calc/NoteCompleter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextBlock>

#include "insight/TrainingLoad.h"
#include "log/CodePage1252.h"
#include "log/NoteMarks.h"

namespace {

// A character of a mark's name: one that the code page holds as a name byte.
bool IsNameCharacter(QChar c) {
    const std::optional<char> byte = pq::EncodeChar1252(c.unicode());
    return byte && pq::IsMarkNameByte(*byte);
}

bool IsSign(QChar c) {
    return c == QLatin1Char(pq::TagSign) || c == QLatin1Char(pq::ShoeSign);
}

const QString EffortMarker = QString::fromLatin1(pq::EffortMarker.data(), qsizetype(pq::EffortMarker.size()));

// The marks, then the effort marker with the scale as its tooltip.
QStandardItemModel *CompletionModel(const QStringList &marks, QObject *parent) {
    auto *model = new QStandardItemModel(parent);
    for (const QString &mark : marks)
        model->appendRow(new QStandardItem(mark));
    auto *effort = new QStandardItem(EffortMarker);
    effort->setToolTip(
        QCoreApplication::translate(
            "NoteCompleter",
            "How hard the run felt: 1 very easy, 5 steady, 8 hard, 10 all-out. A run without it counts as %1.")
            .arg(pq::UsualEffort));
    model->appendRow(effort);
    return model;
}

} // namespace

NoteCompleter::NoteCompleter(QPlainTextEdit *notes, const QStringList &marks)
    : QObject(notes), Notes(notes), Popup(new QCompleter(CompletionModel(marks, this), this)) {
    Popup->setWidget(Notes);
    Popup->setCompletionMode(QCompleter::PopupCompletion);
    Popup->setCaseSensitivity(Qt::CaseInsensitive);
    // Installed after the completer's own filter, so this one sees the popup's keys first.
    Popup->popup()->installEventFilter(this);
    connect(Popup, qOverload<const QString &>(&QCompleter::activated), this, &NoteCompleter::Insert);
    connect(Notes, &QPlainTextEdit::textChanged, this, &NoteCompleter::OnTyped);
    connect(Notes, &QPlainTextEdit::cursorPositionChanged, this, &NoteCompleter::OnCursorMoved);
}

QString NoteCompleter::TypedMark() const {
    const QTextCursor cursor = Notes->textCursor();
    const QString line = cursor.block().text();
    const int end = cursor.positionInBlock();
    int start = end;
    while (start > 0 && IsNameCharacter(line[start - 1])) {
        --start;
    }
    if (start > 0 && start < end && line[start - 1] == QLatin1Char(' ') &&
        EffortMarker.startsWith(line.mid(start, end - start), Qt::CaseInsensitive)) {
        return line.mid(start, end - start);
    }
    if (start == 0 || !IsSign(line[start - 1])) {
        return {};
    }
    const int sign = start - 1;
    if (sign > 0 && IsNameCharacter(line[sign - 1])) {
        return {};
    }
    return line.mid(sign, end - sign);
}

bool NoteCompleter::eventFilter(QObject *watched, QEvent *event) {
    if (watched != Popup->popup() || event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool choose = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab;
    const QModelIndex current = Popup->popup()->currentIndex();
    if (!choose) {
        return false;
    }
    Popup->popup()->hide();
    if (!current.isValid()) {
        // Nothing chosen: the key does in the notes what it always does.
        QCoreApplication::sendEvent(Notes, event);
        return true;
    }
    Insert(current.data().toString());
    return true;
}

void NoteCompleter::OnTyped() {
    // Only the user's typing opens the list, not texts the dialog sets.
    if (!Notes->hasFocus() || Inserting) {
        return;
    }
    const QString typed = TypedMark();
    if (typed.isEmpty()) {
        Popup->popup()->hide();
        return;
    }
    Popup->setCompletionPrefix(typed);
    const bool alreadyWhole =
        Popup->completionCount() == 1 && Popup->currentCompletion().compare(typed, Qt::CaseInsensitive) == 0;
    if (Popup->completionCount() == 0 || alreadyWhole) {
        Popup->popup()->hide();
        return;
    }
    Popup->popup()->setCurrentIndex({});
    QRect place = Notes->cursorRect();
    place.setWidth(Popup->popup()->sizeHintForColumn(0) + Popup->popup()->verticalScrollBar()->sizeHint().width());
    Popup->complete(place);
    // The best match is highlighted, so Return or Tab takes it at once.
    Popup->popup()->setCurrentIndex(Popup->completionModel()->index(0, 0));
}

void NoteCompleter::OnCursorMoved() {
    if (Popup->popup()->isVisible() && TypedMark().compare(Popup->completionPrefix(), Qt::CaseInsensitive) != 0) {
        Popup->popup()->hide();
    }
}

void NoteCompleter::Insert(const QString &mark) {
    QTextCursor cursor = Notes->textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, static_cast<int>(TypedMark().size()));
    Inserting = true;
    cursor.insertText(mark);
    Inserting = false;
    Notes->setTextCursor(cursor);
    Popup->popup()->hide();
}
