#pragma once

#include <QList>
#include <QStringList>

#include "frame/Prompts.h"

// Prompts for tests: records every message box and file dialog and answers from scripts. A message box with no
// scripted answer gets its default button, as if the user pressed Enter; a file dialog with none is cancelled.
class ScriptedPrompts : public Prompts {
public:
    ScriptedPrompts() { Prompts::Install(this); }
    ~ScriptedPrompts() override { Prompts::Install(nullptr); }

    Button Message(QWidget *, const MessageSpec &spec) override {
        Messages.append(spec);
        return Answers.isEmpty() ? spec.Default : Answers.takeFirst();
    }
    QString OpenFileName(QWidget *, const FileDialogSpec &spec) override {
        OpenDialogs.append(spec);
        return OpenAnswers.isEmpty() ? QString() : OpenAnswers.takeFirst();
    }
    QString SaveFileName(QWidget *, const FileDialogSpec &spec) override {
        SaveDialogs.append(spec);
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }

    QStringList OpenFileNames(QWidget *, const FileDialogSpec &spec) override {
        OpenDialogs.append(spec);
        return OpenManyAnswers.isEmpty() ? QStringList() : OpenManyAnswers.takeFirst();
    }

    QList<MessageSpec> Messages;
    QList<FileDialogSpec> OpenDialogs;
    QList<FileDialogSpec> SaveDialogs;
    QList<Button> Answers;
    QStringList OpenAnswers;
    QStringList SaveAnswers;
    QList<QStringList> OpenManyAnswers;
};
