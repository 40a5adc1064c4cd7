#include "frame/Prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton ToStandardButton(Prompts::Button button) {
    switch (button) {
    case Prompts::Button::Ok:
        return QMessageBox::Ok;
    case Prompts::Button::Cancel:
        return QMessageBox::Cancel;
    case Prompts::Button::Yes:
        return QMessageBox::Yes;
    case Prompts::Button::No:
        return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon ToMessageIcon(Prompts::Icon icon) {
    switch (icon) {
    case Prompts::Icon::None:
        return QMessageBox::NoIcon;
    case Prompts::Icon::Stop:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QStringList RunFileDialog(QWidget *owner, const Prompts::FileDialogSpec &settings, QFileDialog::AcceptMode mode,
                          QFileDialog::FileMode fileMode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setNameFilter(settings.Filter);
    dialog.setDefaultSuffix(settings.DefaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.ConfirmOverwrite);
    if (!settings.Title.isEmpty())
        dialog.setWindowTitle(settings.Title);
    if (!settings.AcceptLabel.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, settings.AcceptLabel);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QFileDialog::FileMode SingleFileMode(const Prompts::FileDialogSpec &settings) {
    return settings.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
}

// The program's prompts: real message boxes and file dialogs, modal to the whole application.
class WidgetPrompts : public Prompts {
public:
    Button Message(QWidget *owner, const MessageSpec &settings) override {
        QMessageBox box(ToMessageIcon(settings.BoxIcon), settings.Caption, settings.Text, QMessageBox::NoButton, owner);
        for (const Button button : settings.Buttons)
            box.addButton(ToStandardButton(button));
        box.setDefaultButton(ToStandardButton(settings.Default));
        box.setWindowModality(Qt::ApplicationModal);
        switch (box.exec()) {
        case QMessageBox::Ok:
            return Button::Ok;
        case QMessageBox::Yes:
            return Button::Yes;
        case QMessageBox::No:
            return Button::No;
        default:
            return Button::Cancel;
        }
    }

    QString OpenFileName(QWidget *owner, const FileDialogSpec &settings) override {
        return RunFileDialog(owner, settings, QFileDialog::AcceptOpen, SingleFileMode(settings)).value(0);
    }

    QStringList OpenFileNames(QWidget *owner, const FileDialogSpec &settings) override {
        return RunFileDialog(owner, settings, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
    }

    QString SaveFileName(QWidget *owner, const FileDialogSpec &settings) override {
        return RunFileDialog(owner, settings, QFileDialog::AcceptSave, SingleFileMode(settings)).value(0);
    }
};

Prompts *InstalledPrompts = nullptr;

} // namespace

Prompts &Prompts::Current() {
    static WidgetPrompts widgetPrompts;
    return InstalledPrompts ? *InstalledPrompts : widgetPrompts;
}

void Prompts::Install(Prompts *prompts) {
    InstalledPrompts = prompts;
}

void Prompts::Error(QWidget *owner, const QString &caption, const QString &text) {
    Current().Message(owner, {text, caption, Icon::Stop, {Button::Ok}, Button::Ok});
}

Prompts::Button Prompts::Warning(QWidget *owner, const QString &caption, const QString &text,
                                 const QList<Button> &buttons, Button defaultButton) {
    return Current().Message(owner, {text, caption, Icon::Exclamation, buttons, defaultButton});
}

Prompts::Button Prompts::Question(QWidget *owner, const QString &caption, const QString &text,
                                  const QList<Button> &buttons, Button defaultButton) {
    return Current().Message(owner, {text, caption, Icon::Question, buttons, defaultButton});
}
