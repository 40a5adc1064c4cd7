#include <QTest>

#include <string>
#include <vector>

#include "log/NoteMarks.h"

using namespace pq;

namespace {

// The names found, joined by "|".
QByteArray Found(const QByteArray &notes, char sign) {
    std::vector<std::string_view> names;
    FindMarks(std::string_view(notes.constData(), static_cast<std::size_t>(notes.size())), sign, names);
    QByteArrayList joined;
    for (const std::string_view name : names) {
        joined << QByteArray(name.data(), static_cast<qsizetype>(name.size()));
    }
    return joined.join('|');
}

} // namespace

class TestNoteMarks : public QObject {
    Q_OBJECT

private slots:
    void tags_data() {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<QByteArray>("tags");

        QTest::newRow("start of the notes") << QByteArray("#tempo 3 in the middle") << QByteArray("tempo");
        QTest::newRow("after a blank") << QByteArray("Tempo 3 in the middle #tempo @pegasus") << QByteArray("tempo");
        QTest::newRow("after punctuation") << QByteArray("felt good(#easy),#long.") << QByteArray("easy|long");
        QTest::newRow("C sharp is no tag") << QByteArray("played C# on the way") << QByteArray();
        QTest::newRow("digit before the sign") << QByteArray("lap3#x 5_#y a-#z") << QByteArray();
        QTest::newRow("sign alone") << QByteArray("# tempo #") << QByteArray();
        QTest::newRow("doubled sign") << QByteArray("##race") << QByteArray("race");
        QTest::newRow("digits, dash and underscore")
            << QByteArray("#10k-race_2 #2024") << QByteArray("10k-race_2|2024");
        QTest::newRow("name ends at punctuation") << QByteArray("#hills! #track.") << QByteArray("hills|track");
        QTest::newRow("case: first spelling kept once") << QByteArray("#Tempo #TEMPO #tempo") << QByteArray("Tempo");
        QTest::newRow("Windows-1252 letters in the name")
            << QByteArray("#c\xF4te #\xC9t\xE9 #\x8A\x9C\x9F") << QByteArray("c\xF4te|\xC9t\xE9|\x8A\x9C\x9F");
        QTest::newRow("Windows-1252 letter before the sign is no start") << QByteArray("\xE9#x") << QByteArray();
        QTest::newRow("Windows-1252 symbols end a name") << QByteArray("#a\xD7"
                                                                       "b #c\x80 #d\xB0")
                                                         << QByteArray("a|c|d");
        QTest::newRow("right after a line break")
            << QByteArray("intervals\xA0\xA0#track\xA0\xA0#easy") << QByteArray("track|easy");
        QTest::newRow("shoes are not tags") << QByteArray("@pegasus") << QByteArray();
        QTest::newRow("empty notes") << QByteArray() << QByteArray();
    }

    void tags() {
        QFETCH(QByteArray, notes);
        QFETCH(QByteArray, tags);
        QCOMPARE(Found(notes, TagSign), tags);
    }

    void shoes_data() {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<QByteArray>("shoes");

        QTest::newRow("two shoes on one run")
            << QByteArray("@pegasus then @Vaporfly") << QByteArray("pegasus|Vaporfly");
        QTest::newRow("mail address is no shoe") << QByteArray("mail me@example.org") << QByteArray();
        QTest::newRow("at the start") << QByteArray("@Clifton-9 #easy") << QByteArray("Clifton-9");
        QTest::newRow("same shoe twice in other case") << QByteArray("@kinvara @KINVARA") << QByteArray("kinvara");
    }

    void shoes() {
        QFETCH(QByteArray, notes);
        QFETCH(QByteArray, shoes);
        QCOMPARE(Found(notes, ShoeSign), shoes);
    }

    void hasMark_data() {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("expected");

        QTest::newRow("same case") << QByteArray("x #tempo") << QByteArray("tempo") << true;
        QTest::newRow("other ASCII case") << QByteArray("x #TeMpo") << QByteArray("tempo") << true;
        QTest::newRow("longer name is another tag") << QByteArray("#tempos") << QByteArray("tempo") << false;
        QTest::newRow("shorter name is another tag") << QByteArray("#temp") << QByteArray("tempo") << false;
        QTest::newRow("inside a word") << QByteArray("C#tempo") << QByteArray("tempo") << false;
        QTest::newRow("Latin-1 letters in other case") << QByteArray("#\xE9t\xE9") << QByteArray("\xC9t\xC9") << true;
        QTest::newRow("code page letters below 0xA0")
            << QByteArray("#\x9C\x9A\x9E\xFF") << QByteArray("\x8C\x8A\x8E\x9F") << true;
        QTest::newRow("times and division signs stay apart") << QByteArray("#a\xD7") << QByteArray("a\xF7") << false;
        QTest::newRow("empty name matches nothing") << QByteArray("# #") << QByteArray() << false;
    }

    void hasMark() {
        QFETCH(QByteArray, notes);
        QFETCH(QByteArray, name);
        QFETCH(bool, expected);
        QCOMPARE(HasMark(notes.toStdString(), TagSign, name.toStdString()), expected);
    }

    void effort_data() {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<int>("effort"); // 0 for none
        QTest::newRow("start of the notes") << QByteArray("rpe:7 tempo") << 7;
        QTest::newRow("any case, after punctuation, at the end") << QByteArray("tempo (RPE:10)") << 10;
        QTest::newRow("after a line break") << QByteArray("tempo\xA0\xA0Rpe:3") << 3;
        QTest::newRow("inside a word") << QByteArray("xrpe:7") << 0;
        QTest::newRow("followed by a letter") << QByteArray("rpe:7k") << 0;
        QTest::newRow("leading zero") << QByteArray("rpe:07") << 0;
        QTest::newRow("sign") << QByteArray("rpe:+7 rpe:-7") << 0;
        QTest::newRow("no number") << QByteArray("rpe: 7 rpe:") << 0;
        QTest::newRow("out of range passed over") << QByteArray("rpe:0 rpe:11 rpe:99999999999 rpe:4 rpe:6") << 4;
        QTest::newRow("first valid one counts") << QByteArray("rpe:2,rpe:9") << 2;
    }
    void effort() {
        QFETCH(QByteArray, notes);
        QFETCH(int, effort);
        QCOMPARE(PerceivedEffort(notes.toStdString()).value_or(0), effort);
    }

    void names() {
        QCOMPARE(MarkKey("PeGasus-2\xC9"), std::string("pegasus-2\xE9"));
        QVERIFY(IsMarkName("tempo_1"));
        QVERIFY(!IsMarkName(""));
        QVERIFY(!IsMarkName("tempo run"));
        QVERIFY(!IsMarkName("#tempo"));
    }
};

QTEST_APPLESS_MAIN(TestNoteMarks)
#include "tst_NoteMarks.moc"
