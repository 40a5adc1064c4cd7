#include "frame/CommonKeys.h"

#include <QHash>

#include "frame/CommandIds.h"

namespace CommonKeys {
namespace {

const QHash<int, QList<QKeySequence>> &Table() {
    static const QHash<int, QList<QKeySequence>> keys{
        {Cmd::FileNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {Cmd::FileOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {Cmd::FileSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {Cmd::FileSaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}},
        {Cmd::Exit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
        {Cmd::AddEntry, {QKeySequence(Qt::Key_Insert)}},
        {Cmd::DuplicateEntry, {QKeySequence(Qt::CTRL | Qt::Key_D)}},
        // Enter on the keypad and Return on the main block both open the selected row.
        {Cmd::ModifyEntry, {QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)}},
        {Cmd::DeleteEntry, {QKeySequence(Qt::Key_Delete)}},
    };
    return keys;
}

} // namespace

QList<QKeySequence> ForCommand(int command) {
    return Table().value(command);
}

QList<int> Commands() {
    return Table().keys();
}

} // namespace CommonKeys
