#include "shell/TPacequillAboutDlg.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "frame/DialogTemplate.h"
#include "frame/Resources.h"

namespace {

const QString ProductNameKey = QStringLiteral("ProductName");
const QString ProductVersionKey = QStringLiteral("ProductVersion");
const QString LegalCopyrightKey = QStringLiteral("LegalCopyright");

QWidget *MakeControl(const DialogTemplate::Control &control, QWidget *parent) {
    if (control.ControlKind != DialogTemplate::Kind::Static)
        return nullptr;
    const QStringList &style = control.Style;
    if (style.contains(QLatin1String("hline"))) {
        auto *line = new QFrame(parent);
        line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return line;
    }
    auto *label = new QLabel(control.Text, parent);
    if (style.contains(QLatin1String("bitmap"))) {
        label->setPixmap(
            Resources::Bitmap(control.Id + TPacequillAboutDlg::BitmapIdOffset, label->devicePixelRatioF()));
        label->setAlignment(Qt::AlignCenter);
    }
    // Static texts show "&" as it stands; the version and copyright texts come from outside the dialog.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TPacequillAboutDlg::TPacequillAboutDlg(QWidget *parent, const TProjectRCVersion::Module &module) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const DialogTemplate dialog = DialogTemplate::Load(TemplateId);
    dialog.Build(this, MakeControl);
    setFixedSize(dialog.PixelSize());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    VersionLine = findChild<QLabel *>(QString::number(VersionLineId));
    CopyrightLine = findChild<QLabel *>(QString::number(CopyrightLineId));
    auto *ok = findChild<QPushButton *>(QString::number(OkId));
    ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    SetupWindow(module);
}

void TPacequillAboutDlg::SetupWindow(const TProjectRCVersion::Module &module) {
    const TProjectRCVersion version(module);
    const std::optional<QString> name = version.LookupString(ProductNameKey);
    const std::optional<QString> number = version.LookupString(ProductVersionKey);
    if (name && number) {
        const QString word = VersionLine->text().left(TemplateTextLimit);
        VersionLine->setText(QStringLiteral("%1 %2 %3").arg(*name, word, *number).left(TextLimit));
    }
    if (const std::optional<QString> copyright = version.LookupString(LegalCopyrightKey))
        CopyrightLine->setText(copyright->left(TextLimit));
}
