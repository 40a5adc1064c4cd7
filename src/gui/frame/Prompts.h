#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box and file dialog of the program goes through this interface, so tests can script the
// answers and check the exact texts. The real implementation uses QMessageBox and QFileDialog.
class Prompts {
public:
    enum class Icon { None, Stop, Question, Exclamation, Information };
    enum class Button { Ok, Cancel, Yes, No };

    struct MessageSpec {
        QString Text;
        QString Caption;
        Icon BoxIcon = Icon::None;
        QList<Button> Buttons{Button::Ok};
        Button Default = Button::Ok;
    };

    struct FileDialogSpec {
        QString Filter;                // Qt filter text, e.g. "Pacequill Files (*.pquil);;Pacequill Files (*.pql)"
        QString DefaultSuffix;         // added when the user types a name without one
        bool MustExist = false;        // Open
        bool ConfirmOverwrite = false; // Save As
        QString Title;                 // empty: the toolkit's own for Open or Save
        QString AcceptLabel;           // empty: the toolkit's own "Open" or "Save"
    };

    virtual ~Prompts() = default;
    // The button the user chose; Cancel when the box was closed otherwise.
    virtual Button Message(QWidget *owner, const MessageSpec &spec) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString OpenFileName(QWidget *owner, const FileDialogSpec &spec) = 0;
    virtual QString SaveFileName(QWidget *owner, const FileDialogSpec &spec) = 0;
    // Existing files, any number of them; an empty list when the user cancelled.
    virtual QStringList OpenFileNames(QWidget *owner, const FileDialogSpec &spec) = 0;

    // The program's prompts; tests install their own.
    static Prompts &Current();
    static void Install(Prompts *prompts); // nullptr restores the real ones

    // The message boxes the program shows, each through Current(): the owner, then the caption and the text as
    // in QMessageBox. Where there is a choice, defaultButton is the one Enter presses; the answer is the button
    // chosen (Cancel when the box was closed otherwise).
    // A failure to report: the Stop icon and OK.
    static void Error(QWidget *owner, const QString &caption, const QString &text);
    // A warning: the Exclamation icon and these buttons.
    static Button Warning(QWidget *owner, const QString &caption, const QString &text, const QList<Button> &buttons,
                          Button defaultButton);
    // A question: the Question icon and these buttons (Yes and No, and Cancel where the command may stop).
    static Button Question(QWidget *owner, const QString &caption, const QString &text, const QList<Button> &buttons,
                           Button defaultButton);
};
