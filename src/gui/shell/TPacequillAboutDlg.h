#pragma once

#include <QDialog>

#include "shell/TProjectRCVersion.h"

class QLabel;

// The About box: the logo, the product name and version, the copyright line and the tagline. Name, version and
// copyright are read from the program's version block each time the box is made, so they always agree with it.
class TPacequillAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int TemplateId = 22000;
    static constexpr int LogoId = 101;
    static constexpr int VersionLineId = 22001;
    static constexpr int CopyrightLineId = 22002;
    static constexpr int OkId = 1;
    // The logo is the bitmap numbered by the logo control's id plus this offset.
    static constexpr int BitmapIdOffset = 1000;
    static constexpr qsizetype TextLimit = 255;
    static constexpr qsizetype TemplateTextLimit = 127;

    // module: where the version block comes from; the program's own unless a test passes another.
    explicit TPacequillAboutDlg(QWidget *parent,
                                const TProjectRCVersion::Module &module = TProjectRCVersion::ProgramModule());

private:
    void SetupWindow(const TProjectRCVersion::Module &module);

    QLabel *VersionLine = nullptr;
    QLabel *CopyrightLine = nullptr;
};
