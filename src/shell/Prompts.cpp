#include "shell/Prompts.h"

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

QString RunFileDialog(QWidget *owner, const Prompts::FileDialogSpec &spec, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(spec.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(spec.Filter);
    dialog.setDefaultSuffix(spec.DefaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.ConfirmOverwrite);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// The program's prompts: real message boxes and file dialogs, modal to the whole application.
class WidgetPrompts : public Prompts {
public:
    Button Message(QWidget *owner, const MessageSpec &spec) override {
        QMessageBox box(ToMessageIcon(spec.BoxIcon), spec.Caption, spec.Text, QMessageBox::NoButton, owner);
        for (const Button button : spec.Buttons)
            box.addButton(ToStandardButton(button));
        box.setDefaultButton(ToStandardButton(spec.Default));
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

    QString OpenFileName(QWidget *owner, const FileDialogSpec &spec) override {
        return RunFileDialog(owner, spec, QFileDialog::AcceptOpen);
    }

    QString SaveFileName(QWidget *owner, const FileDialogSpec &spec) override {
        return RunFileDialog(owner, spec, QFileDialog::AcceptSave);
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
