#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <string>

#include "calc/DateRules.h"
#include "calc/TPacequillCalc.h"
#include "calc/TPacequillCalcXfer.h"
#include "shell/DialogTemplate.h"
#include "shell/HelpClient.h"
#include "shell/HelpContextRegistry.h"
#include "shell/Prompts.h"

namespace {

class ScriptedPrompts : public Prompts {
public:
    Button Message(QWidget *, const MessageSpec &spec) override {
        Messages.append(spec);
        return Button::Ok;
    }
    QString OpenFileName(QWidget *, const FileDialogSpec &) override { return {}; }
    QString SaveFileName(QWidget *, const FileDialogSpec &) override { return {}; }

    QList<MessageSpec> Messages;
};

class RecordingHelp : public HelpClient {
public:
    bool Request(QWidget *owner, const QString &helpFile, Command command, quint32 context) override {
        Owner = owner;
        File = helpFile;
        Sent = command;
        Context = context;
        ++Count;
        return true;
    }
    QWidget *Owner = nullptr;
    QString File;
    Command Sent = Command::Quit;
    quint32 Context = 0;
    int Count = 0;
};

// The texts an editor opens with, as the entry commands set them.
struct Entry {
    std::string Date;
    std::string Distance;
    std::string Hours;
    std::string Minutes;
    std::string Seconds;
    std::string Notes;
    int Unit = 0;
    int Pace = 0;
    int Mode = 2;
};

const Entry NewEntry{"2026/03/05", "", "", "", "", "", 0, 0, 2};

} // namespace

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Entry)

class TestCalc : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void builtFromTemplate();
    void tabOrderAndFocus();
    void newEntryOpens();
    void storedEntryOpensAndComesBackUnchanged_data();
    void storedEntryOpensAndComesBackUnchanged();
    void userEditsClearResults_data();
    void userEditsClearResults();
    void modeSwitchClearsItsResults();
    void calculate_data();
    void calculate();
    void calculateMissingInput_data();
    void calculateMissingInput();
    void resetRestoresOpening();
    void rowTextAtOk_data();
    void rowTextAtOk();
    void dateAtOk_data();
    void dateAtOk();
    void refusedDateThenCorrected();
    void refusedCharacters_data();
    void refusedCharacters();
    void notesLimitCountsLineBreaksTwice();
    void enterKeys();
    void cancelLeavesUnaccepted();
    void transferRecordSharedAcrossOpenings();
    void helpButtonAndContexts();

private:
    TPacequillCalc &Open(const Entry &entry);
    QLineEdit *Edit(int id) const { return Dialog->findChild<QLineEdit *>(QString::number(id)); }
    QComboBox *List(int id) const { return Dialog->findChild<QComboBox *>(QString::number(id)); }
    QPlainTextEdit *NotesField() const { return Dialog->findChild<QPlainTextEdit *>(QStringLiteral("608")); }
    void Click(int id) { QTest::mouseClick(Dialog->findChild<QPushButton *>(QString::number(id)), Qt::LeftButton); }
    void Type(int id, const QString &text);
    void Pick(int listId, int index);

    std::unique_ptr<ScriptedPrompts> Scripted;
    std::unique_ptr<RecordingHelp> Help;
    std::unique_ptr<TPacequillCalc> Dialog;
};

void TestCalc::init() {
    Scripted = std::make_unique<ScriptedPrompts>();
    Prompts::Install(Scripted.get());
    Help = std::make_unique<RecordingHelp>();
}

void TestCalc::cleanup() {
    Dialog.reset();
    Prompts::Install(nullptr);
    Scripted.reset();
}

TPacequillCalc &TestCalc::Open(const Entry &entry) {
    Dialog = std::make_unique<TPacequillCalc>(nullptr, Help.get());
    TPacequillCalc &dialog = *Dialog;
    dialog.Accepted = 0;
    dialog.DistanceUnitIndex = entry.Unit;
    dialog.PaceUnitIndex = entry.Pace;
    dialog.CalcModeIndex = entry.Mode;
    dialog.EntryDate = entry.Date;
    dialog.EntryDistance = entry.Distance;
    dialog.EntryHours = entry.Hours;
    dialog.EntryMinutes = entry.Minutes;
    dialog.EntrySeconds = entry.Seconds;
    dialog.EntryNotes = entry.Notes;
    dialog.show();
    return dialog;
}

// Types as the user does: the field's text is replaced keystroke by keystroke.
void TestCalc::Type(int id, const QString &text) {
    if (id == TPacequillCalc::NotesId) {
        QTest::keyClicks(NotesField(), text);
        return;
    }
    QLineEdit *field = Edit(id);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// What choosing an item from the dropped list does: the selection moves, then the list reports the user's pick.
void TestCalc::Pick(int listId, int index) {
    QComboBox *list = List(listId);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void TestCalc::builtFromTemplate() {
    const DialogTemplate layout = DialogTemplate::Load(TPacequillCalc::TemplateId);
    TPacequillCalc &dialog = Open(NewEntry);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pacequill Calculator"));
    QCOMPARE(dialog.size(), layout.PixelSize());
    QVERIFY(dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
    QCOMPARE(layout.Controls.size(), 34);
    for (const DialogTemplate::Control &control : layout.Controls) {
        const QWidget *widget = dialog.findChild<QWidget *>(QString::number(control.Id));
        QVERIFY2(widget, qPrintable(QString::number(control.Id)));
        QCOMPARE(widget->geometry(), layout.ToPixels(control.X, control.Y, control.Width, control.Height));
    }
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("904"))->isDefault());
    QCOMPARE(Edit(602)->alignment(), Qt::AlignCenter);
    QCOMPARE(Edit(602)->maxLength(), 15);
    QCOMPARE(Edit(609)->maxLength(), 15);
    QVERIFY(Edit(610)->isReadOnly());
    QCOMPARE(List(502)->count(), 3);
    QCOMPARE(List(503)->itemText(1), QStringLiteral("per Kilometer"));
    QCOMPARE(List(504)->itemText(0), QStringLiteral("Distance"));
}

void TestCalc::tabOrderAndFocus() {
    TPacequillCalc &dialog = Open(NewEntry);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), Edit(602));
    const QStringList expected = {"602", "502", "603", "604", "605", "606", "607", "503",
                                  "608", "504", "609", "904", "906", "907", "905", "109"};
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int step = 1; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(order, expected);
}

void TestCalc::newEntryOpens() {
    Open(NewEntry);
    for (const int id : {602, 603, 604, 605, 606, 607, 610, 611})
        QVERIFY2(Edit(id)->text().isEmpty(), qPrintable(QString::number(id)));
    QVERIFY(NotesField()->toPlainText().isEmpty());
    QCOMPARE(Edit(609)->text(), QStringLiteral("2026/03/05"));
    QCOMPARE(List(502)->currentText(), QStringLiteral("Mile(s)"));
    QCOMPARE(List(503)->currentText(), QStringLiteral("per Mile"));
    QCOMPARE(List(504)->currentText(), QStringLiteral("Pace"));
}

void TestCalc::storedEntryOpensAndComesBackUnchanged_data() {
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QStringList>("fields"); // 602, 603, 604, 605, 608, 609 as shown
    QTest::addColumn<std::string>("row");

    QTest::newRow("45:30 run") << Entry{"2024/03/05", "6.2", "00", "45", "30", "None", 0, 0, 2}
                               << QStringList{"6.2", "", "45", "30", "", "2024/03/05"}
                               << std::string("2024/03/05\t6.2 Miles\t00:45:30\tNone");
    QTest::newRow("half mile, no date") << Entry{"No Date", "0.5", "0", "05", "07.5", "easy", 2, 1, 1}
                                        << QStringList{".5", "", "5", "7.5", "easy", ""}
                                        << std::string("No Date\t.5 Marathons\t00:05:07.5\teasy");
    QTest::newRow("two lines, lone 0xA0") << Entry{"2024/03/05",
                                                   "10",
                                                   "01",
                                                   "00",
                                                   "00",
                                                   "a\xA0\xA0"
                                                   "b\xA0"
                                                   "c",
                                                   1}
                                          << QStringList{"10", "1", "", "", "a\nb c", "2024/03/05"}
                                          << std::string("2024/03/05\t10 Kilometers\t01:00:00\ta\xA0\xA0"
                                                         "b c");
}

void TestCalc::storedEntryOpensAndComesBackUnchanged() {
    QFETCH(Entry, entry);
    QFETCH(QStringList, fields);
    QFETCH(std::string, row);

    TPacequillCalc &dialog = Open(entry);
    const QStringList shown = {Edit(602)->text(), Edit(603)->text(),           Edit(604)->text(),
                               Edit(605)->text(), NotesField()->toPlainText(), Edit(609)->text()};
    QCOMPARE(shown, fields);
    QCOMPARE(List(502)->currentIndex(), entry.Unit);
    QCOMPARE(List(503)->currentIndex(), entry.Pace);
    QCOMPARE(List(504)->currentIndex(), entry.Mode);
    Click(TPacequillCalc::OkId);
    QCOMPARE(dialog.Accepted, 1);
    QCOMPARE(dialog.RowText, row);
    QVERIFY(!dialog.isVisible());
}

void TestCalc::userEditsClearResults_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("typedInto");
    QTest::addColumn<QList<int>>("emptied");
    QTest::addColumn<QList<int>>("kept");

    QTest::newRow("pace: typing a pace result") << 2 << 606 << QList<int>{606, 607, 610, 611} << QList<int>{602, 603};
    QTest::newRow("pace: typing hours") << 2 << 603 << QList<int>{606, 607, 610, 611} << QList<int>{602, 604};
    QTest::newRow("time: typing seconds") << 1 << 605 << QList<int>{603, 604, 605, 610, 611} << QList<int>{602, 606};
    QTest::newRow("distance: typing pace") << 0 << 607 << QList<int>{602, 610, 611} << QList<int>{603, 606};
}

void TestCalc::userEditsClearResults() {
    QFETCH(int, mode);
    QFETCH(int, typedInto);
    QFETCH(QList<int>, emptied);
    QFETCH(QList<int>, kept);

    Open({"", "5", "1", "2", "3", "", 0, 0, mode});
    // Texts the dialog writes itself start nothing.
    for (const int id : {606, 607, 610, 611})
        Edit(id)->setText(QStringLiteral("9"));
    for (const int id : {602, 603, 604, 605, 606, 607, 610, 611})
        QVERIFY(!Edit(id)->text().isEmpty());

    QTest::keyClicks(Edit(typedInto), QStringLiteral("7"));
    for (const int id : emptied)
        QVERIFY2(Edit(id)->text().isEmpty(), qPrintable(QString::number(id)));
    for (const int id : kept)
        QVERIFY2(!Edit(id)->text().isEmpty(), qPrintable(QString::number(id)));
}

void TestCalc::modeSwitchClearsItsResults() {
    Open({"", "5", "1", "2", "3", "", 0, 0, 2});
    for (const int id : {606, 607, 610, 611})
        Edit(id)->setText(QStringLiteral("9"));
    Pick(504, 1);
    for (const int id : {603, 604, 605, 610, 611})
        QVERIFY(Edit(id)->text().isEmpty());
    QCOMPARE(Edit(602)->text(), QStringLiteral("5"));
    QCOMPARE(Edit(606)->text(), QStringLiteral("9"));

    Edit(610)->setText(QStringLiteral("9"));
    Pick(503, 1); // a unit change clears the current mode's results
    QVERIFY(Edit(610)->text().isEmpty());
    QCOMPARE(Edit(606)->text(), QStringLiteral("9"));
}

void TestCalc::calculate_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("pace");
    QTest::addColumn<QStringList>("inputs");  // 602, 603, 604, 605, 606, 607 as typed
    QTest::addColumn<QStringList>("results"); // the same fields after Calculate, then 610 and 611

    const QStringList hourAtEight = {"", "1", "0", "0", "8", "0"};
    QTest::newRow("distance in miles") << 0 << 0 << 0 << hourAtEight
                                       << QStringList{"7.50", "1", "0", "0", "8", "0", "7.50", "12.07"};
    QTest::newRow("distance in kilometers")
        << 0 << 1 << 0 << hourAtEight << QStringList{"12.07", "1", "0", "0", "8", "0", "7.50", "12.07"};
    QTest::newRow("distance in marathons")
        << 0 << 2 << 0 << hourAtEight << QStringList{"0.29", "1", "0", "0", "8", "0", "7.50", "12.07"};
    QTest::newRow("time of 26.2 miles") << 1 << 0 << 0 << QStringList{"26.2", "", "", "", "8", "0"}
                                        << QStringList{"26.2", "3", "29", "36.00", "8", "0", "7.50", "12.07"};
    QTest::newRow("time of a marathon") << 1 << 2 << 0 << QStringList{"1", "", "", "", "8", "0"}
                                        << QStringList{"1", "3", "29", "45.00", "8", "0", "7.50", "12.07"};
    QTest::newRow("time of 10 km") << 1 << 1 << 1 << QStringList{"10", "", "", "", "5", "0"}
                                   << QStringList{"10", "", "50", "0.00", "5", "0", "7.46", "12.00"};
    QTest::newRow("time under a minute") << 1 << 0 << 0 << QStringList{".1", "", "", "", "7", "30"}
                                         << QStringList{".1", "", "", "45.00", "7", "30", "8.00", "12.87"};
    QTest::newRow("pace of 10 km per mile") << 2 << 1 << 0 << QStringList{"10", "", "50", "", "", ""}
                                            << QStringList{"10", "", "50", "", "8", "2.80", "7.46", "12.00"};
    QTest::newRow("pace of 10 km per km") << 2 << 1 << 1 << QStringList{"10", "", "50", "", "", ""}
                                          << QStringList{"10", "", "50", "", "5", "0.00", "7.46", "12.00"};
    QTest::newRow("pace of a marathon") << 2 << 2 << 0 << QStringList{"1", "3", "30", "", "", ""}
                                        << QStringList{"1", "3", "30", "", "8", "0.57", "7.49", "12.06"};
    QTest::newRow("pace without carry") << 2 << 0 << 0 << QStringList{"1", "", "7", "59.996", "", ""}
                                        << QStringList{"1", "", "7", "59.996", "7", "60.00", "7.50", "12.07"};
}

void TestCalc::calculate() {
    QFETCH(int, mode);
    QFETCH(int, unit);
    QFETCH(int, pace);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, results);

    Open({"", "", "", "", "", "", unit, pace, mode});
    const int fields[] = {602, 603, 604, 605, 606, 607};
    for (int i = 0; i < 6; ++i)
        Type(fields[i], inputs[i]);
    Click(TPacequillCalc::CalculateId);
    QVERIFY(Scripted->Messages.isEmpty());
    QStringList shown;
    for (const int id : {602, 603, 604, 605, 606, 607, 610, 611})
        shown.append(Edit(id)->text());
    QCOMPARE(shown, results);
}

void TestCalc::calculateMissingInput_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");

    const QString distanceText = "You must supply a TIME and a PACE in order to calculate a DISTANCE.";
    const QString timeText = "You must supply a DISTANCE and a PACE in order to calculate a TIME.";
    const QString paceText = "You must supply a DISTANCE and a TIME in order to calculate a PACE.";
    QTest::newRow("distance without time")
        << 0 << QStringList{"", "0", "", "0", "8", "0"} << distanceText << "Distance Calculation Error";
    QTest::newRow("time without pace") << 1 << QStringList{"5", "", "", "", "0", "0.0"} << timeText
                                       << "Time Calculation Error";
    QTest::newRow("time, distance not a number")
        << 1 << QStringList{"abc", "", "", "", "8", ""} << timeText << "Time Calculation Error";
    QTest::newRow("pace without time") << 2 << QStringList{"5", "0", "", "0", "", ""} << paceText
                                       << "Pace Calculation Error";
}

void TestCalc::calculateMissingInput() {
    QFETCH(int, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QString, text);
    QFETCH(QString, caption);

    Open({"", "", "", "", "", "", 0, 0, mode});
    const int fields[] = {602, 603, 604, 605, 606, 607};
    for (int i = 0; i < 6; ++i)
        Edit(fields[i])->setText(inputs[i]);
    Click(TPacequillCalc::CalculateId);
    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &message = Scripted->Messages.constFirst();
    QCOMPARE(message.Text, text);
    QCOMPARE(message.Caption, caption);
    QCOMPARE(message.BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(message.Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    for (int i = 0; i < 6; ++i)
        QCOMPARE(Edit(fields[i])->text(), inputs[i]);
    QVERIFY(Edit(610)->text().isEmpty());
}

void TestCalc::resetRestoresOpening() {
    TPacequillCalc &dialog = Open({"2024/03/05", "06.2", "00", "45", "30", "hills\xA0\xA0wind", 1, 0, 2});
    Type(602, QStringLiteral("8"));
    Type(609, QStringLiteral("2020/01/01"));
    Type(608, QStringLiteral(" more"));
    Pick(502, 2);
    Pick(503, 1);
    Click(TPacequillCalc::CalculateId);
    QVERIFY(!Edit(607)->text().isEmpty());
    Pick(504, 0);

    Click(TPacequillCalc::ResetId);
    const QStringList shown = {Edit(602)->text(), Edit(603)->text(),           Edit(604)->text(),
                               Edit(605)->text(), NotesField()->toPlainText(), Edit(609)->text()};
    QCOMPARE(shown, (QStringList{"6.2", "", "45", "30", "hills\nwind", "2024/03/05"}));
    for (const int id : {606, 607, 610, 611})
        QVERIFY(Edit(id)->text().isEmpty());
    QCOMPARE(List(502)->currentIndex(), 1);
    QCOMPARE(List(503)->currentIndex(), 0);
    QCOMPARE(List(504)->currentIndex(), 2);
    QCOMPARE(dialog.DistanceUnitIndex, 1);
    QCOMPARE(dialog.CalcModeIndex, 2);
}

void TestCalc::rowTextAtOk_data() {
    QTest::addColumn<QStringList>("typed"); // 602, 603, 604, 605, 608, 609
    QTest::addColumn<int>("unit");
    QTest::addColumn<std::string>("row");

    QTest::newRow("all blank") << QStringList{"", "", "", "", "", ""} << 0
                               << std::string("No Date\t0 Miles\t00:00:00\tNone");
    QTest::newRow("single characters") << QStringList{"5", "3", "7", "5", "tempo", "2024/02/29"} << 1
                                       << std::string("2024/02/29\t5 Kilometers\t03:07:05\ttempo");
    QTest::newRow("seconds with a fraction")
        << QStringList{".5", "12", "45", "5.5", "", ""} << 2 << std::string("No Date\t.5 Marathons\t12:45:05.5\tNone");
    QTest::newRow("seconds starting with a point")
        << QStringList{"3", "", "", ".5", "", ""} << 0 << std::string("No Date\t3 Miles\t00:00:00.5\tNone");
    QTest::newRow("seconds ending with a point")
        << QStringList{"3", "", "1", "7.", "", ""} << 0 << std::string("No Date\t3 Miles\t00:01:07\tNone");
    QTest::newRow("long seconds kept") << QStringList{"3", "3", "29", "36.00", "", ""} << 0
                                       << std::string("No Date\t3 Miles\t03:29:36.00\tNone");
    QTest::newRow("text that is no number")
        << QStringList{"far", "x", "", "", "", ""} << 0 << std::string("No Date\tfar Miles\t0x:00:00\tNone");
    QTest::newRow("notes in two lines") << QStringList{"1", "", "", "", "line one\nline two", ""} << 0
                                        << std::string("No Date\t1 Miles\t00:00:00\tline one\xA0\xA0line two");
    QTest::newRow("windows-1252 characters") << QStringList{"1", "", "", "", "caf\u00E9 \u20AC5", ""} << 0
                                             << std::string("No Date\t1 Miles\t00:00:00\tcaf\xE9 \x80"
                                                            "5");
}

void TestCalc::rowTextAtOk() {
    QFETCH(QStringList, typed);
    QFETCH(int, unit);
    QFETCH(std::string, row);

    TPacequillCalc &dialog = Open({"", "", "", "", "", "", 0, 0, 2});
    const int fields[] = {602, 603, 604, 605, 608, 609};
    for (int i = 0; i < 6; ++i) {
        if (fields[i] == TPacequillCalc::NotesId)
            NotesField()->setPlainText(typed[i]);
        else
            Type(fields[i], typed[i]);
    }
    Pick(502, unit);
    Click(TPacequillCalc::OkId);
    QVERIFY(Scripted->Messages.isEmpty());
    QCOMPARE(dialog.Accepted, 1);
    QCOMPARE(dialog.RowText, row);
    QCOMPARE(dialog.DistanceUnitIndex, unit);
}

void TestCalc::dateAtOk_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("caption"); // empty: accepted

    const QString improper = "Improper date format.";
    const QString invalid = "Invalid date.";
    QTest::newRow("first day") << "1980/01/01" << QString();
    QTest::newRow("last day") << "2079/12/31" << QString();
    QTest::newRow("leap day 2000") << "2000/02/29" << QString();
    QTest::newRow("before the range") << "1979/12/31" << invalid;
    QTest::newRow("after the range") << "2080/01/01" << invalid;
    QTest::newRow("no leap day") << "2023/02/29" << invalid;
    QTest::newRow("april 31") << "2024/04/31" << invalid;
    QTest::newRow("zeros") << "0000/00/00" << invalid;
    QTest::newRow("short month") << "2024/2/29" << improper;
    QTest::newRow("dashes") << "2024-02-29" << improper;
    QTest::newRow("leading blank") << " 2024/02/29" << improper;
    QTest::newRow("No Date typed") << "No Date" << improper;
}

void TestCalc::dateAtOk() {
    QFETCH(QString, date);
    QFETCH(QString, caption);

    TPacequillCalc &dialog = Open(NewEntry);
    Type(609, date);
    Click(TPacequillCalc::OkId);
    if (caption.isEmpty()) {
        QVERIFY(Scripted->Messages.isEmpty());
        QCOMPARE(dialog.Accepted, 1);
        QVERIFY(dialog.RowText.starts_with(date.toStdString() + '\t'));
        return;
    }
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Caption, caption);
    QCOMPARE(Scripted->Messages.constFirst().BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(dialog.Accepted, 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Edit(609)->text(), date);
}

void TestCalc::refusedDateThenCorrected() {
    TPacequillCalc &dialog = Open({"2099/01/01", "5", "", "40", "", "None", 0, 0, 2});
    QCOMPARE(Edit(609)->text(), QStringLiteral("2099/01/01"));
    Type(605, QStringLiteral("7."));
    Click(TPacequillCalc::OkId);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Text,
             QStringLiteral(
                 "You have entered an invalid date. Valid dates are between 1980/01/01 and 2079/12/31 inclusive."));
    QVERIFY(dialog.RowText.empty());

    Type(609, QString());
    Click(TPacequillCalc::OkId);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(dialog.Accepted, 1);
    QCOMPARE(dialog.RowText, std::string("No Date\t5 Miles\t00:40:07\tNone"));
}

void TestCalc::refusedCharacters_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");

    QTest::newRow("check mark in notes")
        << 608 << "felt good \u2713"
        << "The Notes field holds the character \"\u2713\" (U+2713), which a log entry cannot hold. "
           "Please remove or replace it.";
    QTest::newRow("record marker in distance")
        << 602 << "5\u00A1"
        << "The Distance field holds the character \"\u00A1\" (U+00A1), which a log entry cannot hold. "
           "Please remove or replace it.";
    QTest::newRow("tab in seconds") << 605 << "3\t0"
                                    << "The Seconds field holds the character U+0009, which a log entry cannot hold. "
                                       "Please remove or replace it.";
}

void TestCalc::refusedCharacters() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);

    TPacequillCalc &dialog = Open(NewEntry);
    TPacequillCalcXfer &record = TPacequillCalcXfer::Shared();
    Edit(603)->setText(QStringLiteral("1"));
    if (field == TPacequillCalc::NotesId)
        NotesField()->setPlainText(typed);
    else
        Edit(field)->setText(typed);
    Click(TPacequillCalc::OkId);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Text, text);
    QCOMPARE(Scripted->Messages.constFirst().Caption, QStringLiteral("Character not allowed"));
    QCOMPARE(Scripted->Messages.constFirst().BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(dialog.Accepted, 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(record.HoursText, std::string()); // nothing collected from the refused attempt

    if (field == TPacequillCalc::NotesId)
        NotesField()->clear();
    else
        Edit(field)->clear();
    Click(TPacequillCalc::OkId);
    QCOMPARE(dialog.Accepted, 1);
}

void TestCalc::notesLimitCountsLineBreaksTwice() {
    Open(NewEntry);
    QPlainTextEdit *notes = NotesField();
    notes->setPlainText(QString(750, u'a'));
    notes->moveCursor(QTextCursor::End);
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, QStringLiteral("bcdef"));
    QCOMPARE(notes->toPlainText(), QString(750, u'a') + QStringLiteral("\nbcd"));
}

void TestCalc::enterKeys() {
    TPacequillCalc &dialog = Open(NewEntry);
    QTest::keyClicks(NotesField(), QStringLiteral("one"));
    QTest::keyClick(NotesField(), Qt::Key_Return);
    QTest::keyClicks(NotesField(), QStringLiteral("two"));
    QCOMPARE(NotesField()->toPlainText(), QStringLiteral("one\ntwo"));
    QVERIFY(Scripted->Messages.isEmpty());

    // Enter in a field presses Calculate, which has nothing to work with yet.
    Edit(602)->setFocus();
    QTest::keyClick(Edit(602), Qt::Key_Return);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Caption, QStringLiteral("Pace Calculation Error"));
    QVERIFY(dialog.isVisible());
}

void TestCalc::cancelLeavesUnaccepted() {
    TPacequillCalc &dialog = Open(NewEntry);
    Type(602, QStringLiteral("5"));
    Click(TPacequillCalc::CancelId);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.Accepted, 0);
    QVERIFY(dialog.RowText.empty());

    TPacequillCalc &again = Open(NewEntry);
    QTest::keyClick(&again, Qt::Key_Escape);
    QVERIFY(!again.isVisible());
    QCOMPARE(again.Accepted, 0);
}

void TestCalc::transferRecordSharedAcrossOpenings() {
    TPacequillCalcXfer &record = TPacequillCalcXfer::Shared();
    Open({"2024/03/05", "6.2", "00", "45", "30",
          "a\xA0\xA0"
          "b",
          0, 0, 2});
    Type(605, QStringLiteral("31."));
    Click(TPacequillCalc::OkId);
    // OK works in the record: the seconds' point is dropped and the line break stored as 0xA0 0xA0.
    QCOMPARE(record.SecondsText, std::string("31"));
    QCOMPARE(record.NotesText, std::string("a\xA0\xA0"
                                           "b"));
    QCOMPARE(record.DistanceUnitList.Selection, 0);

    Open(NewEntry);
    QCOMPARE(record.DistanceText, std::string());
    QCOMPARE(record.SecondsText, std::string());
    QCOMPARE(record.DateText, std::string("2026/03/05"));
    QCOMPARE(record.CalcModeList.Items, (QStringList{"Distance", "Time", "Pace"}));
    QCOMPARE(Edit(605)->text(), QString());
}

void TestCalc::helpButtonAndContexts() {
    // The controls registered for the window; -1 for an entry whose context is not its control's id.
    const auto entriesOf = [](const QWidget *window) {
        QList<int> controls;
        for (const THelpContext &entry : HelpContextRegistry::Application().Entries()) {
            if (entry.Window == window)
                controls.append(
                    entry.Control == static_cast<int>(entry.HelpContext) && entry.MenuItem == 0 ? entry.Control : -1);
        }
        return controls;
    };
    TPacequillCalc &dialog = Open(NewEntry);
    QCOMPARE(entriesOf(&dialog), (QList<int>{904, 905, 906, 907, 109, 602, 502, 603, 604, 605,
                                             606, 607, 503, 504, 609, 610, 611, 608, 191, 192}));
    QCOMPARE(HelpContextRegistry::Application().FindControl(611, Edit(611))->HelpContext, 611u);

    Click(TPacequillCalc::HelpId);
    QCOMPARE(Help->Count, 1);
    QCOMPARE(Help->Owner, &dialog);
    QCOMPARE(Help->File, QStringLiteral("pacequill.hlp>pqhw"));
    QCOMPARE(Help->Sent, HelpClient::Command::Context);
    QCOMPARE(Help->Context, 30001u);
    QVERIFY(dialog.isVisible());

    const QWidget *closed = Dialog.get();
    Dialog.reset();
    QVERIFY(entriesOf(closed).isEmpty());
    QVERIFY(HelpContextRegistry::Application().Entries().isEmpty());
}

QTEST_MAIN(TestCalc)
#include "tst_TPacequillCalc.moc"
