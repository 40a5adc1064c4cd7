#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <string>

#include "calc/TPacequillCalc.h"
#include "calc/TPacequillCalcXfer.h"
#include "frame/DialogTemplate.h"
#include "frame/HelpClient.h"
#include "frame/HelpContextRegistry.h"
#include "frame/Prompts.h"
#include "support/RecordingHelp.h"
#include "support/ScriptedPrompts.h"

namespace {

// What the caller sets before running the editor. In byte texts, \240 is 0xA0, the stored line-break byte.
struct Entry {
    std::string Date, Distance, Hours, Minutes, Seconds, Notes;
    int Unit = 0;
    int Pace = 0;
    int Mode = 2;
};

const Entry NewEntry{"2026/03/05", "", "", "", "", "", 0, 0, 2};
constexpr int EntryFields[] = {602, 603, 604, 605, 608, 609};
constexpr int CalcFields[] = {602, 603, 604, 605, 606, 607};

// Key clicks for any text; QTest's own covers ASCII only.
void KeyClicks(QWidget *widget, const QString &text) {
    for (const QChar character : text) {
        if (character.unicode() < 0x80)
            QTest::keyClick(widget, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

} // namespace

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Entry)

class TestCalc : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void builtFromTemplate();
    void opensAndComesBackUnchanged_data();
    void opensAndComesBackUnchanged();
    void userEditsClearResults_data();
    void userEditsClearResults();
    void pickingListItemsClearsResults();
    void calculate_data();
    void calculate();
    void resetRestoresOpening();
    void rowTextAtOk_data();
    void rowTextAtOk();
    void dateAtOk_data();
    void dateAtOk();
    void refusedDateThenCorrected();
    void refusedCharacters_data();
    void refusedCharacters();
    void refusedDateTakesTheFocus_data();
    void refusedDateTakesTheFocus();
    void keys();
    void transferRecordSharedAcrossOpenings();
    void helpButtonAndContexts();

private:
    TPacequillCalc &Open(const Entry &entry);
    QLineEdit *Edit(int id) const { return Dialog->findChild<QLineEdit *>(QString::number(id)); }
    QComboBox *List(int id) const { return Dialog->findChild<QComboBox *>(QString::number(id)); }
    QPlainTextEdit *Notes() const { return Dialog->findChild<QPlainTextEdit *>(QStringLiteral("608")); }
    void Click(int id) { QTest::mouseClick(Dialog->findChild<QPushButton *>(QString::number(id)), Qt::LeftButton); }
    QString Text(int id) const { return id == 608 ? Notes()->toPlainText() : Edit(id)->text(); }
    QStringList Texts(std::initializer_list<int> ids) const;
    void Type(int id, const QString &text);
    void Pick(int listId, int index);
    void CompareMessage(const QString &caption);

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

QStringList TestCalc::Texts(std::initializer_list<int> ids) const {
    QStringList texts;
    for (const int id : ids)
        texts.append(Text(id));
    return texts;
}

// Types as the user does, replacing the field's text keystroke by keystroke.
void TestCalc::Type(int id, const QString &text) {
    if (id == 608) {
        Notes()->clear();
        const QStringList lines = text.split(u'\n');
        for (qsizetype line = 0; line < lines.size(); ++line) {
            if (line > 0)
                QTest::keyClick(Notes(), Qt::Key_Return);
            KeyClicks(Notes(), lines[line]);
        }
        return;
    }
    Edit(id)->selectAll();
    QTest::keyClick(Edit(id), Qt::Key_Delete);
    KeyClicks(Edit(id), text);
}

// What choosing an item from the dropped list does: the selection moves, then the list reports the user's pick.
void TestCalc::Pick(int listId, int index) {
    List(listId)->setCurrentIndex(index);
    emit List(listId)->activated(index);
}

void TestCalc::CompareMessage(const QString &caption) {
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Caption, caption);
    QCOMPARE(Scripted->Messages.constFirst().BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(Scripted->Messages.constFirst().Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
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
        QRect expected = layout.ToPixels(control.X, control.Y, control.Width, control.Height);
        // A drop-down list stands as high as its closed box; the table's height includes the dropped-down part.
        if (control.ControlKind == DialogTemplate::Kind::ComboBox)
            expected.setHeight(widget->sizeHint().height());
        QCOMPARE(widget->geometry(), expected);
    }
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("904"))->isDefault());
    QCOMPARE(Edit(602)->alignment(), Qt::AlignCenter);
    QCOMPARE(Edit(609)->maxLength(), 15);
    QVERIFY(Edit(610)->isReadOnly());
    QCOMPARE(List(503)->itemText(1), QStringLiteral("per Kilometer"));
    // The template leaves N free: Alt+N reaches the notes.
    const auto *notesLabel = dialog.findChild<QLabel *>(QStringLiteral("210"));
    QCOMPARE(notesLabel->text(), QStringLiteral("&Notes:"));
    QCOMPARE(notesLabel->buddy(), Notes());

    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QStringList expected = {"602", "502", "603", "604", "605", "606", "607", "503",
                                  "608", "504", "609", "904", "906", "907", "905", "109"};
    QStringList order{QApplication::focusWidget()->objectName()};
    while (order.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(order, expected);
}

void TestCalc::opensAndComesBackUnchanged_data() {
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QStringList>("shown"); // 602, 603, 604, 605, 608, 609
    QTest::addColumn<std::string>("row");

    QTest::newRow("new entry") << NewEntry << QStringList{"", "", "", "", "", "2026/03/05"}
                               << std::string("2026/03/05\t0 Miles\t00:00:00\tNone");
    QTest::newRow("45:30 run") << Entry{"2024/03/05", "6.2", "00", "45", "30", "None", 0, 0, 2}
                               << QStringList{"6.2", "", "45", "30", "", "2024/03/05"}
                               << std::string("2024/03/05\t6.2 Miles\t00:45:30\tNone");
    QTest::newRow("half, no date") << Entry{"No Date", "0.5", "0", "05", "07.5", "easy", 2, 1, 1}
                                   << QStringList{".5", "", "5", "7.5", "easy", ""}
                                   << std::string("No Date\t.5 Marathons\t00:05:07.5\teasy");
    QTest::newRow("two lines, lone 0xA0") << Entry{"2024/03/05", "10", "01", "00", "00", "a\240\240b\240c", 1}
                                          << QStringList{"10", "1", "", "", "a\nb c", "2024/03/05"}
                                          << std::string("2024/03/05\t10 Kilometers\t01:00:00\ta\240\240b c");
}

void TestCalc::opensAndComesBackUnchanged() {
    QFETCH(Entry, entry);
    QFETCH(QStringList, shown);
    QFETCH(std::string, row);

    TPacequillCalc &dialog = Open(entry);
    QCOMPARE(Texts({602, 603, 604, 605, 608, 609}), shown);
    QCOMPARE(Texts({606, 607, 610, 611}), QStringList(4));
    QCOMPARE((QList<int>{List(502)->currentIndex(), List(503)->currentIndex(), List(504)->currentIndex()}),
             (QList<int>{entry.Unit, entry.Pace, entry.Mode}));
    Click(TPacequillCalc::OkId);
    QCOMPARE(dialog.Accepted, 1);
    QCOMPARE(dialog.RowText, row);
    QVERIFY(!dialog.isVisible());
}

void TestCalc::userEditsClearResults_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("typedInto");
    QTest::addColumn<QList<int>>("emptied"); // every other field keeps its text

    QTest::newRow("pace: typing a pace result") << 2 << 606 << QList<int>{606, 607, 610, 611};
    QTest::newRow("pace: typing hours") << 2 << 603 << QList<int>{606, 607, 610, 611};
    QTest::newRow("time: typing seconds") << 1 << 605 << QList<int>{603, 604, 605, 610, 611};
    QTest::newRow("distance: typing pace") << 0 << 607 << QList<int>{602, 610, 611};
}

void TestCalc::userEditsClearResults() {
    QFETCH(int, mode);
    QFETCH(int, typedInto);
    QFETCH(QList<int>, emptied);

    Open({"", "5", "1", "2", "3", "", 0, 0, mode});
    for (const int id : {606, 607, 610, 611}) // texts the dialog writes itself start nothing
        Edit(id)->setText(QStringLiteral("9"));
    QTest::keyClicks(Edit(typedInto), QStringLiteral("7"));
    for (const int id : {602, 603, 604, 605, 606, 607, 610, 611})
        QVERIFY2(Edit(id)->text().isEmpty() == emptied.contains(id), qPrintable(QString::number(id)));
}

void TestCalc::pickingListItemsClearsResults() {
    Open({"", "5", "1", "2", "3", "", 0, 0, 2});
    for (const int id : {606, 607, 610, 611})
        Edit(id)->setText(QStringLiteral("9"));
    Pick(504, 1); // Time: its fields and the speeds go
    QCOMPARE(Texts({602, 603, 604, 605, 606, 607, 610, 611}), (QStringList{"5", "", "", "", "9", "9", "", ""}));
    Edit(610)->setText(QStringLiteral("9"));
    Pick(503, 1);
    QCOMPARE(Texts({606, 610}), (QStringList{"9", ""}));
}

void TestCalc::calculate_data() {
    QTest::addColumn<QString>("inputs"); // 602 to 607 as typed, separated by bars
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("pace");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("results"); // 602 to 607, 610 and 611 after Calculate
    QTest::addColumn<QString>("caption"); // of the missing-input message, or empty

    const QString done, noDistance = "Distance Calculation Error", noTime = "Time Calculation Error";
    QTest::newRow("distance, miles") << "|1|0|0|8|0" << 0 << 0 << 0 << "7.50|1|0|0|8|0|7.50|12.07" << done;
    QTest::newRow("distance, km") << "|1|0|0|8|0" << 1 << 0 << 0 << "12.07|1|0|0|8|0|7.50|12.07" << done;
    QTest::newRow("distance, marathons") << "|1|0|0|8|0" << 2 << 0 << 0 << "0.29|1|0|0|8|0|7.50|12.07" << done;
    QTest::newRow("time, 26.2 miles") << "26.2||||8|0" << 0 << 0 << 1 << "26.2|3|29|36.00|8|0|7.50|12.07" << done;
    QTest::newRow("time, marathon") << "1||||8|0" << 2 << 0 << 1 << "1|3|29|45.00|8|0|7.50|12.07" << done;
    QTest::newRow("time, 10 km") << "10||||5|0" << 1 << 1 << 1 << "10||50|0.00|5|0|7.46|12.00" << done;
    QTest::newRow("time under a minute") << ".1||||7|30" << 0 << 0 << 1 << ".1|||45.00|7|30|8.00|12.87" << done;
    QTest::newRow("pace, 10 km per mile") << "10||50|||" << 1 << 0 << 2 << "10||50||8|2.80|7.46|12.00" << done;
    QTest::newRow("pace, 10 km per km") << "10||50|||" << 1 << 1 << 2 << "10||50||5|0.00|7.46|12.00" << done;
    QTest::newRow("pace, marathon") << "1|3|30|||" << 2 << 0 << 2 << "1|3|30||8|0.57|7.49|12.06" << done;
    QTest::newRow("pace, no carry") << "1||7|59.996||" << 0 << 0 << 2 << "1||7|59.996|7|60.00|7.50|12.07" << done;
    QTest::newRow("distance, zero time") << "|0||0|8|0" << 0 << 0 << 0 << "|0||0|8|0||" << noDistance;
    QTest::newRow("time, zero pace") << "5||||0|0.0" << 0 << 0 << 1 << "5||||0|0.0||" << noTime;
    QTest::newRow("time, no number") << "abc||||8|" << 0 << 0 << 1 << "abc||||8|||" << noTime;
    QTest::newRow("pace, zero time") << "5|0||0||" << 0 << 0 << 2 << "5|0||0||||" << QString("Pace Calculation Error");
}

void TestCalc::calculate() {
    QFETCH(int, unit);
    QFETCH(int, pace);
    QFETCH(int, mode);
    QFETCH(QString, inputs);
    QFETCH(QString, results);
    QFETCH(QString, caption);

    Open({"", "", "", "", "", "", unit, pace, mode});
    const QStringList typed = inputs.split(u'|');
    for (int i = 0; i < 6; ++i)
        Type(CalcFields[i], typed[i]);
    Click(TPacequillCalc::CalculateId);
    QCOMPARE(Texts({602, 603, 604, 605, 606, 607, 610, 611}), results.split(u'|'));
    if (caption.isEmpty())
        QVERIFY(Scripted->Messages.isEmpty());
    else
        CompareMessage(caption);
}

void TestCalc::resetRestoresOpening() {
    TPacequillCalc &dialog = Open({"2024/03/05", "06.2", "00", "45", "30", "hills\240\240wind", 1, 0, 2});
    Type(602, QStringLiteral("8"));
    Type(609, QStringLiteral("2020/01/01"));
    Type(608, QStringLiteral("more"));
    Pick(502, 2);
    Pick(503, 1);
    Click(TPacequillCalc::CalculateId);
    QVERIFY(!Text(607).isEmpty());
    Pick(504, 0);

    Click(TPacequillCalc::ResetId);
    QCOMPARE(Texts({602, 603, 604, 605, 608, 609, 606, 607, 610, 611}),
             (QStringList{"6.2", "", "45", "30", "hills\nwind", "2024/03/05", "", "", "", ""}));
    QCOMPARE((QList<int>{List(502)->currentIndex(), List(503)->currentIndex(), List(504)->currentIndex()}),
             (QList<int>{1, 0, 2}));
    QCOMPARE(dialog.CalcModeIndex, 2);
}

void TestCalc::rowTextAtOk_data() {
    QTest::addColumn<QStringList>("typed"); // 602, 603, 604, 605, 608, 609
    QTest::addColumn<int>("unit");
    QTest::addColumn<std::string>("row");

    QTest::newRow("single characters") << QStringList{"5", "3", "7", "5", "tempo", "2024/02/29"} << 1
                                       << std::string("2024/02/29\t5 Kilometers\t03:07:05\ttempo");
    QTest::newRow("seconds 5.5") << QStringList{".5", "12", "45", "5.5", "", ""} << 2
                                 << std::string("No Date\t.5 Marathons\t12:45:05.5\tNone");
    QTest::newRow("seconds .5") << QStringList{"3", "", "", ".5", "", ""} << 0
                                << std::string("No Date\t3 Miles\t00:00:00.5\tNone");
    QTest::newRow("seconds 7.") << QStringList{"3", "", "1", "7.", "", ""} << 0
                                << std::string("No Date\t3 Miles\t00:01:07\tNone");
    QTest::newRow("seconds 36.00") << QStringList{"3", "3", "29", "36.00", "", ""} << 0
                                   << std::string("No Date\t3 Miles\t03:29:36.00\tNone");
    QTest::newRow("no numbers") << QStringList{"far", "x", "", "", "", ""} << 0
                                << std::string("No Date\tfar Miles\t0x:00:00\tNone");
    QTest::newRow("notes in two lines") << QStringList{"1", "", "", "", "one\ntwo", ""} << 0
                                        << std::string("No Date\t1 Miles\t00:00:00\tone\240\240two");
    QTest::newRow("windows-1252") << QStringList{"1", "", "", "", "caf\u00E9 \u20AC5", ""} << 0
                                  << std::string("No Date\t1 Miles\t00:00:00\tcaf\351 \2005");
}

void TestCalc::rowTextAtOk() {
    QFETCH(QStringList, typed);
    QFETCH(int, unit);
    QFETCH(std::string, row);

    TPacequillCalc &dialog = Open(NewEntry);
    for (int i = 0; i < 6; ++i)
        Type(EntryFields[i], typed[i]);
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

    const QString improper = "Improper date format.", invalid = "Invalid date.";
    QTest::newRow("first day") << "1980/01/01" << QString();
    QTest::newRow("last day") << "2079/12/31" << QString();
    QTest::newRow("before the range") << "1979/12/31" << invalid;
    QTest::newRow("no leap day") << "2023/02/29" << invalid;
    QTest::newRow("short month") << "2024/2/29" << improper;
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
        QVERIFY(dialog.RowText.starts_with(date.toStdString() + '\t'));
        return;
    }
    CompareMessage(caption);
    QCOMPARE(dialog.Accepted, 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Text(609), date);
}

void TestCalc::refusedDateThenCorrected() {
    TPacequillCalc &dialog = Open({"2099/01/01", "5", "", "40", "", "None", 0, 0, 2});
    QCOMPARE(Text(609), QStringLiteral("2099/01/01"));
    Type(605, QStringLiteral("7."));
    Click(TPacequillCalc::OkId);
    QCOMPARE(Scripted->Messages.constFirst().Text,
             "You have entered an invalid date. Valid dates are between 1980/01/01 and 2079/12/31 inclusive.");
    QVERIFY(dialog.RowText.empty());
    Type(609, QString());
    Click(TPacequillCalc::OkId);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(dialog.RowText, std::string("No Date\t5 Miles\t00:40:07\tNone"));
}

void TestCalc::refusedCharacters_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");  // how the message names the field and the character
    QTest::addColumn<QString>("more");   // what the message says of the others
    QTest::addColumn<int>("selectedAt"); // where the first refused character stands
    QTest::addColumn<QString>("selected");

    const QString held = " field holds the character ";
    const QString alone = ", which a log entry cannot hold. Please remove or replace it.";
    QTest::newRow("check mark in notes") << 608 << "good \u2713"
                                         << "Notes" + held + "\"\u2713\" (U+2713)" << alone << 5 << "\u2713";
    QTest::newRow("record marker") << 602 << "5\u00A1"
                                   << "Distance" + held + "\"\u00A1\" (U+00A1)" << alone << 1 << "\u00A1";
    QTest::newRow("tab in seconds") << 605 << "3\t0"
                                    << "Seconds" + held + "U+0009" << alone << 1 << "\t";
    QTest::newRow("NUL in notes") << 608 << QStringLiteral("before") + QChar(0) + "after"
                                  << "Notes" + held + "U+0000" << alone << 6 << QString(QChar(0));
    QTest::newRow("one more after a line break")
        << 608 << "ok\n\u2713 and \u2192"
        << "Notes" + held + "\"\u2713\" (U+2713)"
        << ", which a log entry cannot hold, and 1 more such character. Please remove or replace them." << 3
        << "\u2713";
    QTest::newRow("three more, one outside the basic plane")
        << 609 << "\u2713\u2014\u2713x\U0001F3C3\u00A1"
        << "Date" + held + "\"\u2713\" (U+2713)"
        << ", which a log entry cannot hold, and 3 more such characters. Please remove or replace them." << 0
        << "\u2713";
    QTest::newRow("a whole surrogate pair selected")
        << 602 << "5\U0001F3C3"
        << "Distance" + held + "\"\U0001F3C3\" (U+1F3C3)" << alone << 1 << "\U0001F3C3";
}

void TestCalc::refusedCharacters() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    QFETCH(QString, more);
    QFETCH(int, selectedAt);
    QFETCH(QString, selected);

    TPacequillCalc &dialog = Open(NewEntry);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Edit(603)->setText(QStringLiteral("1"));
    if (field == 608)
        Notes()->setPlainText(typed);
    else
        Edit(field)->setText(typed);
    Edit(604)->setFocus();
    Click(TPacequillCalc::OkId);
    CompareMessage(QStringLiteral("Character not allowed"));
    QCOMPARE(Scripted->Messages.constFirst().Text, "The " + named + more);
    QCOMPARE(dialog.Accepted, 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(TPacequillCalcXfer::Shared().HoursText, std::string()); // nothing collected from the refused attempt

    // The field at fault has the focus, its first refused character selected, so the next key replaces it.
    QCOMPARE(QApplication::focusWidget(), Dialog->findChild<QWidget *>(QString::number(field)));
    if (field == 608) {
        QCOMPARE(Notes()->textCursor().selectionStart(), selectedAt);
        QCOMPARE(Notes()->textCursor().selectedText(), selected);
    } else {
        QCOMPARE(Edit(field)->selectionStart(), selectedAt);
        QCOMPARE(Edit(field)->selectedText(), selected);
    }

    Type(field, QString());
    Click(TPacequillCalc::OkId);
    QCOMPARE(dialog.Accepted, 1);
}

void TestCalc::refusedDateTakesTheFocus_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("caption");
    QTest::newRow("invalid") << "2099/01/01"
                             << "Invalid date.";
    QTest::newRow("improper") << "1.2.2001"
                              << "Improper date format.";
}

void TestCalc::refusedDateTakesTheFocus() {
    QFETCH(QString, date);
    QFETCH(QString, caption);

    QVERIFY(QTest::qWaitForWindowActive(&Open({date.toStdString(), "5", "", "40", "", "None", 0, 0, 2})));
    Notes()->setFocus();
    Click(TPacequillCalc::OkId);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Caption, caption);
    QCOMPARE(QApplication::focusWidget(), Edit(609));
    QCOMPARE(Edit(609)->selectedText(), date);
}

void TestCalc::keys() {
    TPacequillCalc &dialog = Open(NewEntry);
    // Enter in Notes starts a new line; the limit counts a line break as its two stored bytes.
    Notes()->setPlainText(QString(749, u'a'));
    Notes()->moveCursor(QTextCursor::End);
    QTest::keyClick(Notes(), Qt::Key_Return);
    QTest::keyClicks(Notes(), QStringLiteral("bcdef"));
    QCOMPARE(Text(608), QString(749, u'a') + QStringLiteral("\nbcde"));
    QVERIFY(Scripted->Messages.isEmpty());

    // Enter in a field presses Calculate, which has nothing to work with yet.
    QTest::keyClick(Edit(602), Qt::Key_Return);
    CompareMessage(QStringLiteral("Pace Calculation Error"));

    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.Accepted, 0);
    QVERIFY(dialog.RowText.empty());
}

void TestCalc::transferRecordSharedAcrossOpenings() {
    TPacequillCalcXfer &record = TPacequillCalcXfer::Shared();
    Open({"2024/03/05", "6.2", "00", "45", "30", "a\240\240b", 0, 0, 2});
    Type(605, QStringLiteral("31."));
    Click(TPacequillCalc::OkId);
    // OK works in the record: the seconds' point is dropped and the line break stored as 0xA0 0xA0.
    QCOMPARE(record.SecondsText, std::string("31"));
    QCOMPARE(record.NotesText, std::string("a\240\240b"));

    Open(NewEntry);
    QCOMPARE(record.DistanceText + record.SecondsText + record.NotesText, std::string());
    QCOMPARE(record.DateText, std::string("2026/03/05"));
    QCOMPARE(record.CalcModeList.Items, (QStringList{"Distance", "Time", "Pace"}));
    QCOMPARE(Text(605), QString());
}

void TestCalc::helpButtonAndContexts() {
    // The controls registered for a window; -1 for an entry whose context is not its control's id.
    const auto controlsOf = [](const QWidget *window) {
        QList<int> controls;
        for (const THelpContext &entry : HelpContextRegistry::Application().Entries()) {
            if (entry.Window == window)
                controls.append(entry.Control == int(entry.HelpContext) && entry.MenuItem == 0 ? entry.Control : -1);
        }
        return controls;
    };
    TPacequillCalc &dialog = Open(NewEntry);
    QCOMPARE(controlsOf(&dialog), (QList<int>{904, 905, 906, 907, 109, 602, 502, 603, 604, 605,
                                              606, 607, 503, 504, 609, 610, 611, 608, 191, 192}));
    Click(TPacequillCalc::HelpId);
    QCOMPARE(Help->Requests.size(), 1);
    const RecordingHelp::Sent &sent = Help->Requests.constFirst();
    QCOMPARE(sent.Owner, &dialog);
    QCOMPARE(sent.File, QStringLiteral("pacequill.hlp>pqhw"));
    QCOMPARE(sent.Kind, HelpClient::Command::Context);
    QCOMPARE(sent.Context, 30001u);
    QVERIFY(dialog.isVisible());

    Dialog.reset();
    QVERIFY(HelpContextRegistry::Application().Entries().isEmpty());
}

QTEST_MAIN(TestCalc)
#include "tst_TPacequillCalc.moc"
