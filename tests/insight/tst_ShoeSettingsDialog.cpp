#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "insight/LogProfile.h"
#include "insight/ShoeSettingsDialog.h"
#include "support/FileBytes.h"
#include "support/ScriptedPrompts.h"

namespace {

const QByteArray Profile = "# my shoes\r\n"
                           "shoe @Pegasus limit 500 miles   # bought 2024\r\n"
                           "goal year 2000 km\r\n"
                           "shoe @Kinvara start 40 km default\r\n";

} // namespace

// The dialog writes the shoe's line of the profile and nothing else; what it refuses, it says and writes nothing.
class TestShoeSettingsDialog : public QObject {
    Q_OBJECT

private slots:
    void writesTheShoesLine_data() {
        QTest::addColumn<QString>("shoe");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("limitUnit");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("retired");
        QTest::addColumn<bool>("isDefault");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QByteArray>("written");

        QTest::newRow("own line replaced, its comment kept")
            << "Pegasus"
            << "650.5" << 1 << "12"
            << "2025/03/31" << false << ""
            << QByteArray("# my shoes\r\n"
                          "shoe @Pegasus limit 650.5 km start 12 mi retired 2025/03/31   # bought 2024\r\n"
                          "goal year 2000 km\r\n"
                          "shoe @Kinvara start 40 km default\r\n");
        QTest::newRow("new shoe added at the end, made the default")
            << "Ghost"
            << "" << 0 << ""
            << "" << true << ""
            << QByteArray("# my shoes\r\n"
                          "shoe @Pegasus limit 500 miles   # bought 2024\r\n"
                          "goal year 2000 km\r\n"
                          "shoe @Kinvara start 40 km\r\n"
                          "shoe @Ghost default\r\n");
        QTest::newRow("nothing changed, nothing written") << "Pegasus"
                                                          << "500" << 0 << ""
                                                          << "" << false << "" << Profile;
        QTest::newRow("a limit of 0") << "Pegasus"
                                      << "0" << 0 << ""
                                      << "" << false << "The limit must be a distance above 0" << Profile;
        QTest::newRow("a start that is no number")
            << "Kinvara"
            << "" << 0 << "40km"
            << "" << true << "The start must be a distance of 0 or more" << Profile;
        QTest::newRow("a day that does not exist")
            << "Pegasus"
            << "500" << 0 << ""
            << "2025/02/30" << false << "The retired date must be a date yyyy/mm/dd" << Profile;
    }

    void writesTheShoesLine() {
        QFETCH(QString, shoe);
        QFETCH(QString, limit);
        QFETCH(int, limitUnit);
        QFETCH(QString, start);
        QFETCH(QString, retired);
        QFETCH(bool, isDefault);
        QFETCH(QString, refusal);
        QFETCH(QByteArray, written);
        QTemporaryDir folder;
        const QString log = folder.filePath("runs.pquil");
        QFile file(log + ".profile");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(Profile) == Profile.size());
        file.close();
        const pq::LogProfile profile = pq::ReadLogProfile(log.toStdString());
        const pq::ShoeSettings *found = pq::FindShoe(profile, shoe.toStdString());
        pq::ShoeSettings settings;
        settings.Name = shoe.toStdString();
        ScriptedPrompts prompts;

        ShoeSettingsDialog dialog(log.toStdString(), found ? *found : settings, pq::DistanceUnit::Miles);
        dialog.LimitField()->setText(limit);
        dialog.LimitUnitChoice()->setCurrentIndex(limitUnit);
        dialog.StartField()->setText(start);
        dialog.RetiredField()->setText(retired);
        dialog.DefaultChoice()->setChecked(isDefault);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Return);

        QCOMPARE(FileBytes(log + ".profile"), written);
        QCOMPARE(dialog.result(), refusal.isEmpty() ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(prompts.Messages.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) {
            QVERIFY2(prompts.Messages[0].Text.startsWith(refusal), qPrintable(prompts.Messages[0].Text));
            QCOMPARE(prompts.Messages[0].Caption, QStringLiteral("Shoe Settings"));
            QVERIFY(dialog.isVisible());
        }
    }
};

QTEST_MAIN(TestShoeSettingsDialog)
#include "tst_ShoeSettingsDialog.moc"
