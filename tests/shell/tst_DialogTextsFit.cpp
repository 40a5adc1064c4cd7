#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

#include <functional>
#include <memory>

#include "calc/TPacequillCalc.h"
#include "frame/DialogTemplate.h"
#include "import/ImportReview.h"
#include "import/ImportReviewDialog.h"
#include "insight/InsightSource.h"
#include "insight/RecordsWindow.h"
#include "log/LogTableModel.h"
#include "log/TPacequillDlgClient.h"
#include "shell/TPacequillAboutDlg.h"
#include "stats/TPacequillStats.h"

namespace {

using DialogMaker = std::function<std::unique_ptr<QWidget>()>;

// Every dialog template with the window that is built from it, so that texts set at run time (the About box's
// version and copyright lines) are measured as the user sees them.
const QList<std::pair<int, DialogMaker>> &Dialogs() {
    static const QList<std::pair<int, DialogMaker>> dialogs{
        {TPacequillCalc::TemplateId, [] { return std::make_unique<TPacequillCalc>(nullptr, nullptr); }},
        {TPacequillStats::TemplateId, [] { return std::make_unique<TPacequillStats>(nullptr); }},
        {TPacequillDlgClient::TemplateId, [] { return std::make_unique<TPacequillDlgClient>(); }},
        {TPacequillAboutDlg::TemplateId, [] { return std::make_unique<TPacequillAboutDlg>(nullptr); }},
    };
    return dialogs;
}

// The windows laid out with layouts, with something in them, as they open.
const QList<std::pair<QString, DialogMaker>> &LaidOutWindows() {
    static LogTableModel model;
    static InsightSource source(model.List(), model);
    static pq::LogList log;
    static pq::ImportReview review(log);
    static const bool filled = [] {
        model.AppendRow("2024/01/31\t5 Kilometers\t00:21:00\t@pegasus");
        model.AppendRow("2024/02/01\t26.2 Miles\t03:30:00\t@pegasus #race");
        pq::Activity run;
        run.Running = true;
        run.DistanceMeters = 10000;
        run.MovingSeconds = 3000;
        run.Sport = "trail_running";
        pq::Activity other = run;
        other.Running = false;
        other.Sport = "Sport 9";
        pq::FileActivities found;
        found.Activities = {run, run, run, run, other};
        review.AddFile("/tmp/a-long-file-name-of-a-watch-export.fit", std::move(found));
        return true;
    }();
    Q_UNUSED(filled)
    static const QList<std::pair<QString, DialogMaker>> windows{
        {QStringLiteral("Records"), [] { return std::make_unique<RecordsWindow>(source, [](int) {}); }},
        {QStringLiteral("Import review"), [] { return std::make_unique<ImportReviewDialog>(review); }},
    };
    return windows;
}

// The room a button's label needs: its text (and icon) inside the style's margins and frame.
QSize ButtonLabelSize(const QPushButton &button) {
    const QFontMetrics metrics(button.font());
    QSize label(metrics.horizontalAdvance(QString(button.text()).remove(u'&')), metrics.height());
    if (!button.icon().isNull())
        label = QSize(label.width() + button.iconSize().width() + metrics.averageCharWidth(),
                      std::max(label.height(), button.iconSize().height()));
    // Across, the label keeps the style's margin from the frame; down, it needs only to clear the frame.
    const QStyle *style = button.style();
    const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
    const int margins = 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
    return label + QSize(frame + margins, frame);
}

// The controls of one window whose text or picture does not fit the control, described for the failure message:
// the window's own controls, or with FindChildrenRecursively those inside its layouts too, as far as they show.
QStringList Misfits(const QWidget &window, Qt::FindChildOptions depth = Qt::FindDirectChildrenOnly) {
    QStringList misfits;
    const auto report = [&](const QWidget *control, QSize need) {
        if (!QRect(QPoint(), control->size()).contains(QRect(QPoint(), need)))
            misfits.append(QStringLiteral("%1 needs %2x%3 in %4x%5")
                               .arg(control->objectName())
                               .arg(need.width())
                               .arg(need.height())
                               .arg(control->width())
                               .arg(control->height()));
    };
    for (const QLabel *label : window.findChildren<QLabel *>(depth)) {
        if (!label->isVisibleTo(&window))
            continue;
        const QPixmap picture = label->pixmap();
        if (picture.isNull()) {
            // A wrapping label needs the lines its width gives it.
            report(label, label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                            : label->sizeHint());
            continue;
        }
        report(label, picture.deviceIndependentSize().toSize());
        // A high-density screen gets the picture drawn for it, not an enlarged one.
        if (picture.devicePixelRatio() != label->devicePixelRatioF())
            misfits.append(QStringLiteral("%1 shows a picture for %2x on a %3x screen")
                               .arg(label->objectName())
                               .arg(picture.devicePixelRatio())
                               .arg(label->devicePixelRatioF()));
    }
    // A layout gives a button the room the style asks for; it must not squeeze it below that.
    const bool laidOut = depth == Qt::FindChildrenRecursively;
    for (const QPushButton *button : window.findChildren<QPushButton *>(depth)) {
        if (button->isVisibleTo(&window))
            report(button, laidOut ? button->sizeHint() : ButtonLabelSize(*button));
    }
    return misfits;
}

// Set in the child that measures at twice the size, so that it does not start another one.
const char *const ScaleVariable = "QT_SCALE_FACTOR";

} // namespace

class TestDialogTextsFit : public QObject {
    Q_OBJECT

private slots:
    void everyTemplateIsMeasured();
    void textsFitTheirControls_data();
    void textsFitTheirControls();
    void textsFitLaidOutWindows_data();
    void textsFitLaidOutWindows();
    void textsFitAtDoubleSize();
};

void TestDialogTextsFit::everyTemplateIsMeasured() {
    QList<int> measured;
    for (const auto &[id, make] : Dialogs())
        measured.append(id);
    QDirIterator templates(QStringLiteral(":/dialogs"), {QStringLiteral("*.json")});
    while (templates.hasNext()) {
        const int id = templates.nextFileInfo().completeBaseName().toInt();
        QVERIFY2(measured.contains(id), qPrintable(QStringLiteral("template %1 has no window here").arg(id)));
    }
}

void TestDialogTextsFit::textsFitTheirControls_data() {
    QTest::addColumn<int>("dialog");
    for (qsizetype i = 0; i < Dialogs().size(); ++i)
        QTest::newRow(qPrintable(QString::number(Dialogs().at(i).first))) << int(i);
}

void TestDialogTextsFit::textsFitTheirControls() {
    QFETCH(int, dialog);
    const std::unique_ptr<QWidget> window = Dialogs().at(dialog).second();
    const QStringList misfits = Misfits(*window);
    QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(QStringLiteral("; "))));
}

void TestDialogTextsFit::textsFitLaidOutWindows_data() {
    QTest::addColumn<int>("window");
    for (qsizetype i = 0; i < LaidOutWindows().size(); ++i)
        QTest::newRow(qPrintable(LaidOutWindows().at(i).first)) << int(i);
}

void TestDialogTextsFit::textsFitLaidOutWindows() {
    QFETCH(int, window);
    const std::unique_ptr<QWidget> shown = LaidOutWindows().at(window).second();
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    const QStringList misfits = Misfits(*shown, Qt::FindChildrenRecursively);
    QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(QStringLiteral("; "))));
}

void TestDialogTextsFit::textsFitAtDoubleSize() {
    if (qEnvironmentVariableIsSet(ScaleVariable))
        QSKIP("this run measures at the scale it was given");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(ScaleVariable), QStringLiteral("2"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("textsFitTheirControls"), QStringLiteral("textsFitLaidOutWindows")});
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

QTEST_MAIN(TestDialogTextsFit)
#include "tst_DialogTextsFit.moc"
