#include <QAccessible>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <memory>

#include "calc/TPacequillCalc.h"
#include "frame/DialogTemplate.h"
#include "frame/HelpClient.h"
#include "frame/MenuTables.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"
#include "shell/DocumentModules.h"
#include "shell/TPacequillAboutDlg.h"
#include "shell/TSDIDecFrame.h"
#include "stats/TPacequillStats.h"

namespace {

// The widget's accessible name, or else the name its accessible interface makes up (a label's text).
QString NameOf(QWidget *widget) {
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

QAccessible::Role RoleOf(QObject *object) {
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->role() : QAccessible::NoRole;
}

// Lines and panels drawn as plain frames carry nothing to read.
bool IsDecoration(const QWidget *widget) {
    return widget->metaObject() == &QFrame::staticMetaObject;
}

// The controls a user meets: each control the template made (shown or waiting for its tab) and anything inside
// one that takes the keyboard focus.
QList<QWidget *> ControlsOf(QWidget *dialog) {
    QList<QWidget *> controls;
    for (QWidget *widget : dialog->findChildren<QWidget *>()) {
        if (widget->isWindow() || IsDecoration(widget))
            continue;
        const bool templateControl = widget->parentWidget() == dialog;
        const bool focusable = widget->focusPolicy() != Qt::NoFocus && widget->isVisibleTo(dialog);
        if (templateControl || focusable)
            controls.append(widget);
    }
    return controls;
}

std::unique_ptr<QWidget> MakeDialog(int templateId, HelpClient *help) {
    switch (templateId) {
    case TPacequillCalc::TemplateId:
        return std::make_unique<TPacequillCalc>(nullptr, help);
    case TPacequillStats::TemplateId:
        return std::make_unique<TPacequillStats>(nullptr, help);
    case TPacequillAboutDlg::TemplateId:
        return std::make_unique<TPacequillAboutDlg>(nullptr);
    case TPacequillDlgClient::TemplateId:
        return std::make_unique<TPacequillDlgClient>();
    default:
        return nullptr;
    }
}

DialogTemplate ParsedTable(const QByteArray &controls) {
    DialogTemplate parsed;
    QString error;
    if (!DialogTemplate::Parse(R"({ "id": 1, "controls": [)" + controls + "] }", parsed, error))
        qFatal("test table does not parse: %s", qPrintable(error));
    return parsed;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void nameFromTheTable_data();
    void nameFromTheTable();
    void everyControlNamed_data();
    void everyControlNamed();
    void labelNamesItsControl_data();
    void labelNamesItsControl();
    void mainWindowParts();
    void hintAreaDescribesTheHint();
};

void TestAccessibility::nameFromTheTable_data() {
    QTest::addColumn<QByteArray>("controls");
    QTest::addColumn<QString>("expected"); // the name of the last control

    const QByteArray distance =
        R"({ "id": 1, "kind": "static", "text": "Distance:", "x": 10, "y": 20, "w": 30, "h": 8 },)";
    QTest::newRow("button without its mnemonic")
        << QByteArray(R"({ "id": 2, "kind": "button", "text": "C&alculate" })") << "Calculate";
    QTest::newRow("doubled ampersand stands for one")
        << QByteArray(R"({ "id": 2, "kind": "defbutton", "text": "Save && &Close" })") << "Save & Close";
    QTest::newRow("group box by its text")
        << QByteArray(R"({ "id": 2, "kind": "groupbox", "text": "Totals" })") << "Totals";
    QTest::newRow("edit by the label on its left, colon dropped")
        << distance + R"({ "id": 2, "kind": "edit", "x": 46, "y": 19, "w": 30, "h": 13 })"
        << "Distance";
    QTest::newRow("nearest label on the left wins")
        << distance +
               R"({ "id": 3, "kind": "static", "text": "Miles", "x": 45, "y": 20, "w": 20, "h": 8 },
                  { "id": 2, "kind": "combobox", "x": 70, "y": 19, "w": 30, "h": 40 })"
        << "Miles";
    QTest::newRow("label on the right does not name it")
        << QByteArray(R"({ "id": 3, "kind": "static", "text": "MPH", "x": 80, "y": 20, "w": 20, "h": 8 },
                         { "id": 4, "kind": "button", "text": "OK" },
                         { "id": 2, "kind": "edit", "x": 46, "y": 19, "w": 30, "h": 13 })")
        << "";
    QTest::newRow("label on another row: the static before it in the table")
        << QByteArray(R"({ "id": 3, "kind": "static", "text": "Notes:", "x": 10, "y": 0, "w": 30, "h": 8 },
                         { "id": 2, "kind": "multiedit", "x": 10, "y": 10, "w": 200, "h": 80 })")
        << "Notes";
    QTest::newRow("a name in the table wins over the label")
        << distance + R"({ "id": 2, "kind": "combobox", "name": "Distance unit", "x": 80, "y": 19, "w": 50, "h": 40 })"
        << "Distance unit";
    QTest::newRow("list view by its name")
        << QByteArray(R"({ "id": 2, "kind": "listview", "name": "Log entries" })") << "Log entries";
    QTest::newRow("static follows its own text") << distance.chopped(1) << "";
    QTest::newRow("static with a name") << QByteArray(R"({ "id": 2, "kind": "static", "name": "Logo" })") << "Logo";
}

void TestAccessibility::nameFromTheTable() {
    QFETCH(QByteArray, controls);
    QFETCH(QString, expected);
    const DialogTemplate table = ParsedTable(controls);
    QCOMPARE(table.AccessibleName(table.Controls.size() - 1), expected);
}

void TestAccessibility::everyControlNamed_data() {
    QTest::addColumn<int>("templateId");
    QTest::newRow("entry editor") << TPacequillCalc::TemplateId;
    QTest::newRow("statistics") << TPacequillStats::TemplateId;
    QTest::newRow("About box") << TPacequillAboutDlg::TemplateId;
    QTest::newRow("log client") << TPacequillDlgClient::TemplateId;
}

void TestAccessibility::everyControlNamed() {
    QFETCH(int, templateId);
    NullHelpClient help;
    const std::unique_ptr<QWidget> dialog = MakeDialog(templateId, &help);
    QVERIFY(dialog);
    const QList<QWidget *> controls = ControlsOf(dialog.get());
    QCOMPARE_GE(controls.size(), DialogTemplate::Load(templateId).Controls.size() / 2);

    QSet<QPair<int, QString>> focusable;
    for (QWidget *control : controls) {
        const QString name = NameOf(control);
        const QString what = QStringLiteral("%1 \"%2\"").arg(control->metaObject()->className(), control->objectName());
        QVERIFY2(!name.isEmpty(), qPrintable(what + " has no accessible name"));
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        const QPair<int, QString> key(int(RoleOf(control)), name);
        QVERIFY2(!focusable.contains(key), qPrintable(what + " shares its role and name \"" + name + "\""));
        focusable.insert(key);
    }
}

void TestAccessibility::labelNamesItsControl_data() {
    QTest::addColumn<int>("templateId");
    QTest::addColumn<int>("labelId");
    QTest::addColumn<int>("controlId");
    QTest::newRow("editor: distance edit, not its unit list") << TPacequillCalc::TemplateId << 205 << 602;
    QTest::newRow("editor: notes below the label's top") << TPacequillCalc::TemplateId << 210 << 608;
    QTest::newRow("editor: calculate list") << TPacequillCalc::TemplateId << 208 << 504;
    QTest::newRow("statistics: week start list") << TPacequillStats::TemplateId << 102 << 101;
}

void TestAccessibility::labelNamesItsControl() {
    QFETCH(int, templateId);
    QFETCH(int, labelId);
    QFETCH(int, controlId);
    NullHelpClient help;
    const std::unique_ptr<QWidget> dialog = MakeDialog(templateId, &help);
    auto *label = dialog->findChild<QLabel *>(QString::number(labelId));
    auto *control = dialog->findChild<QWidget *>(QString::number(controlId));
    QVERIFY(label && control);
    QCOMPARE(label->buddy(), control);
    // A label's mnemonic marks a key, not a part of the name.
    QCOMPARE(control->accessibleName() + u':', QString(label->text()).remove(u'&'));
    // The relation screen readers on Linux read a drop-down list's name from.
    const auto relations = QAccessible::queryAccessibleInterface(control)->relations(QAccessible::Label);
    QCOMPARE(relations.size(), 1);
    QCOMPARE(relations.first().first->object(), label);
}

void TestAccessibility::mainWindowParts() {
    auto *client = NewDocumentClient();
    TSDIDecFrame frame(client, nullptr);
    QCOMPARE(NameOf(client->findChild<TPacequillListWindow *>()), QStringLiteral("Log entries"));

    auto *toolbar = frame.findChild<QToolBar *>();
    QCOMPARE(NameOf(toolbar), QStringLiteral("Pacequill Toolbar"));
    int buttons = 0;
    for (QAction *action : toolbar->actions()) {
        if (action->isSeparator())
            continue;
        QWidget *button = toolbar->widgetForAction(action);
        QCOMPARE(NameOf(button), action->toolTip());
        QVERIFY(!action->toolTip().isEmpty());
        ++buttons;
    }
    QCOMPARE_GT(buttons, 0);

    QCOMPARE(NameOf(frame.statusBar()), QStringLiteral("Hints"));
    const QStringList locks = MenuTables::LockIndicatorLabels();
    QCOMPARE(locks, QStringList({"CAPS", "NUM", "SCRL"}));
    for (const QString &lock : locks) {
        auto *label = frame.statusBar()->findChild<QLabel *>(lock);
        QVERIFY(label);
        // Off, the indicator shows no text; its name stays.
        label->clear();
        QCOMPARE(NameOf(label), lock);
    }
}

void TestAccessibility::hintAreaDescribesTheHint() {
    TSDIDecFrame frame(new QWidget, nullptr);
    QStatusBar *hints = frame.statusBar();
    hints->showMessage(QStringLiteral("Opens a log"));
    QCOMPARE(QAccessible::queryAccessibleInterface(hints)->text(QAccessible::Description),
             QStringLiteral("Opens a log"));
    hints->clearMessage();
    QCOMPARE(QAccessible::queryAccessibleInterface(hints)->text(QAccessible::Description), QString());
    QCOMPARE(NameOf(hints), QStringLiteral("Hints"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_Accessibility.moc"
