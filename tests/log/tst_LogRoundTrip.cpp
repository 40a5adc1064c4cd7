#include <QtTest>

#include <random>
#include <string>

#include "log/LogFile.h"

using namespace pq;

namespace {

constexpr unsigned Seed = 20240301;
constexpr int Rows = 3000;

// Random bytes that a well-formed field may hold: never a record marker, a NUL or a real line break, and in
// the first three fields no TAB. Notes may hold TABs and 0xA0 bytes, paired or not.
std::string RandomField(std::mt19937 &random, std::size_t minLength, std::size_t maxLength, bool notes) {
    std::uniform_int_distribution<std::size_t> lengths(minLength, maxLength);
    std::uniform_int_distribution<int> bytes(1, 255);
    std::bernoulli_distribution reserved(0.1);
    std::string text(lengths(random), ' ');
    for (char &c : text) {
        int byte = 0;
        do {
            byte = reserved(random) ? (notes ? 0xA0 : 0xE9) : bytes(random);
        } while (byte == 0xA1 || byte == '\r' || byte == '\n' || (!notes && byte == '\t'));
        c = static_cast<char>(byte);
    }
    return text;
}

} // namespace

class tst_LogRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void writtenLogsReadBackTheSameTexts() {
        std::mt19937 random(Seed);
        LogList written;
        for (int i = 0; i < Rows; ++i) {
            // Fields sometimes run past their widths to check that what is read back is the cut text.
            LogEntry entry{RandomField(random, 1, 18, false), RandomField(random, 1, 18, false),
                           RandomField(random, 1, 18, false), RandomField(random, 0, 780, true)};
            if (i % 2 == 0) {
                written.AppendEntry(entry);
            } else {
                written.AppendRow(LogList::JoinEntry(entry));
            }
        }
        const std::string bytes = LogBytes(written);
        LogList read;
        ReadLogBytes(bytes, read);
        QCOMPARE(read.RowCount(), written.RowCount());
        for (int i = 0; i < Rows; ++i) {
            if (!(read.ReadEntry(i) == written.ReadEntry(i))) {
                QFAIL(qPrintable(QStringLiteral("row %1 differs").arg(i)));
            }
        }
        QVERIFY(LogBytes(read) == bytes);
    }
};

QTEST_APPLESS_MAIN(tst_LogRoundTrip)
#include "tst_LogRoundTrip.moc"
