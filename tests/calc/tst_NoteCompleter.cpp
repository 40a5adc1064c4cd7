#include <QtTest>

#include <QAbstractItemView>
#include <QCompleter>
#include <QPlainTextEdit>

#include "calc/NoteCompleter.h"

// The notes field's completion of tags and shoes, driven by real key presses.
class TestNoteCompleter : public QObject {
    Q_OBJECT

private:
    QPlainTextEdit *Edit = nullptr;
    NoteCompleter *Marks = nullptr;

    QAbstractItemView *Popup() const { return Marks->Completer()->popup(); }

    QStringList Shown() const {
        QStringList shown;
        for (int row = 0; row < Marks->Completer()->completionCount(); ++row) {
            Marks->Completer()->setCurrentRow(row);
            shown << Marks->Completer()->currentCompletion();
        }
        return shown;
    }

    // Key presses go to whatever has the keyboard: the popup while it shows, else the notes.
    void Type(const QString &text) {
        for (const QChar c : text) {
            QWidget *target = Popup()->isVisible() ? static_cast<QWidget *>(Popup()) : Edit;
            QTest::keyClick(target, c.toLatin1());
        }
    }

    void Press(Qt::Key key) { QTest::keyClick(Popup()->isVisible() ? static_cast<QWidget *>(Popup()) : Edit, key); }

private slots:
    void init() {
        Edit = new QPlainTextEdit;
        Marks = new NoteCompleter(Edit, {"#Easy", "#tempo", "#track", "@pegasus", QString::fromUtf8("#r\u00E9cup")});
        Edit->show();
        Edit->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Edit));
        Edit->setFocus();
    }

    void cleanup() { delete Edit; }

    void typedMark_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");

        QTest::newRow("sign alone") << "run #"
                                    << "#";
        QTest::newRow("part of a name") << "run #te"
                                        << "#te";
        QTest::newRow("start of the notes") << "@peg"
                                            << "@peg";
        QTest::newRow("C sharp") << "C#te"
                                 << "";
        QTest::newRow("after punctuation") << "(#tr"
                                           << "#tr";
        QTest::newRow("after a line break") << "easy\n#tr"
                                            << "#tr";
        QTest::newRow("code page letter") << QString::fromUtf8("#r\u00E9") << QString::fromUtf8("#r\u00E9");
        QTest::newRow("ended by a blank") << "#tempo "
                                          << "";
        QTest::newRow("plain word") << "tempo"
                                    << "";
        QTest::newRow("effort after a blank") << "tempo RP"
                                              << "RP";
        QTest::newRow("effort inside a word") << "tempo xrp"
                                              << "";
        QTest::newRow("other word after a blank") << "tempo run"
                                                  << "";
    }

    void typedMark() {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        Edit->setPlainText(text);
        Edit->moveCursor(QTextCursor::End);
        QCOMPARE(Marks->TypedMark(), typed);
    }

    void listNarrowsWhileTyping() {
        Type("run #t");
        QVERIFY(Popup()->isVisible());
        QCOMPARE(Shown(), (QStringList{"#tempo", "#track"}));
        Type("r");
        QVERIFY(Popup()->isVisible());
        QCOMPARE(Shown(), QStringList{"#track"});
    }

    void keyTakesTheFirstMark_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Return") << Qt::Key_Return;
        QTest::newRow("Enter") << Qt::Key_Enter;
        QTest::newRow("Tab") << Qt::Key_Tab;
    }

    // The first mark is highlighted as the list opens; the key takes it and adds no line break.
    void keyTakesTheFirstMark() {
        QFETCH(Qt::Key, key);
        Type("hills #T");
        QVERIFY(Popup()->isVisible());
        QCOMPARE(Popup()->currentIndex().row(), 0);
        Press(key);
        QVERIFY(!Popup()->isVisible());
        QCOMPARE(Edit->toPlainText(), QStringLiteral("hills #tempo"));
    }

    void shoesComplete() {
        Type("@p");
        Press(Qt::Key_Tab);
        QCOMPARE(Edit->toPlainText(), QStringLiteral("@pegasus"));
    }

    void typingOnIgnoresTheList() {
        Type("#te");
        QVERIFY(Popup()->isVisible());
        Type(" run");
        QVERIFY(!Popup()->isVisible());
        QCOMPARE(Edit->toPlainText(), QStringLiteral("#te run"));
    }

    void escapeKeepsTheTypedText() {
        Type("#t");
        QVERIFY(Popup()->isVisible());
        Press(Qt::Key_Escape);
        QVERIFY(!Popup()->isVisible());
        Press(Qt::Key_Return);
        QCOMPARE(Edit->toPlainText(), QStringLiteral("#t\n"));
    }

    void noListForTextsWithoutMarks() {
        Type("C#t");
        QVERIFY(!Popup()->isVisible());
        Type(" #z");
        QVERIFY(!Popup()->isVisible());
    }

    void effortMarkerWithItsScale() {
        Type("tempo r");
        QVERIFY(Popup()->isVisible());
        QCOMPARE(Shown(), QStringList{"rpe:"});
        const QModelIndex effort = Marks->Completer()->completionModel()->index(0, 0);
        QVERIFY(effort.data(Qt::ToolTipRole).toString().contains("1 very easy, 5 steady, 8 hard, 10 all-out"));
        Press(Qt::Key_Return); // the list opens with its first entry highlighted
        Type("7");
        QCOMPARE(Edit->toPlainText(), QStringLiteral("tempo rpe:7"));
    }

    void textsSetByTheProgramOpenNothing() {
        Edit->clearFocus();
        Edit->setPlainText("#t");
        QVERIFY(!Popup()->isVisible());
    }
};

QTEST_MAIN(TestNoteCompleter)
#include "tst_NoteCompleter.moc"
