#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QCompleter;
class QPlainTextEdit;

// Completes the tag ("#tempo") or shoe ("@pegasus") being typed in a notes field from the marks already in the
// log, and after a blank the effort marker ("rpe:"), whose entry explains the scale in its tooltip. The list pops up
// with its first entry highlighted while a mark is typed and narrows as its name grows; choosing an entry (click, or
// Return, Enter or Tab on the highlighted one) replaces the typed part and adds no line break. Escape closes the list
// and keeps what was typed; a character that ends the name closes it too.
class NoteCompleter : public QObject {
    Q_OBJECT

public:
    // marks: the names with their sign, in the order shown.
    NoteCompleter(QPlainTextEdit *notes, const QStringList &marks);

    QCompleter *Completer() const { return Popup; }
    // The sign and the name part before the cursor when the cursor ends a mark being typed, or the beginning of the
    // effort marker typed after a blank; else empty.
    QString TypedMark() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OnTyped();
    void OnCursorMoved();
    void Insert(const QString &mark);

    QPlainTextEdit *Notes;
    QCompleter *Popup;
    bool Inserting = false; // the chosen mark going in is no typing that opens the list again
};
