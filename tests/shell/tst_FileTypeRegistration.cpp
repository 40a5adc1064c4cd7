#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/ClassesRootStore.h"
#include "shell/FileTypeRegistration.h"

namespace {

const QString IconKey = QStringLiteral("Pacequill.Application\\DefaultIcon");

// Records every operation in order and then carries it out.
class RecordingStore : public ClassesRootStore {
public:
    QStringList Calls;

    bool CreateKey(const QString &keyPath) override {
        Calls << QStringLiteral("create %1").arg(keyPath);
        return ClassesRootStore::CreateKey(keyPath);
    }
    bool SetDefaultValue(const QString &keyPath, const QString &value) override {
        Calls << QStringLiteral("set %1 = %2").arg(keyPath, value);
        return ClassesRootStore::SetDefaultValue(keyPath, value);
    }
    bool DeleteSubKey(const QString &keyPath, const QString &subKey) override {
        Calls << QStringLiteral("delete %1 \\ %2").arg(keyPath, subKey);
        return ClassesRootStore::DeleteSubKey(keyPath, subKey);
    }
    bool DeleteKey(const QString &keyPath) override {
        Calls << QStringLiteral("delete %1").arg(keyPath);
        return ClassesRootStore::DeleteKey(keyPath);
    }
};

QStringList StoredKeys() {
    QSettings settings(ClassesRootStore::Location(), QSettings::IniFormat);
    return settings.allKeys();
}

} // namespace

class TestFileTypeRegistration : public QObject {
    Q_OBJECT
private slots:
    void init();
    void storeLivesInTheConfigFolder();
    void registerWritesTheIconValueOnly();
    void unregisterDeletesInOrder();
    void laterStartRewritesThePath();
    void unregisterWithNothingRegistered();
    void registerAgainAfterUnregister();
    void unwritableStoreIsIgnored();

private:
    std::unique_ptr<QTemporaryDir> ConfigDir;
};

void TestFileTypeRegistration::init() {
    ConfigDir = std::make_unique<QTemporaryDir>();
    QVERIFY(ConfigDir->isValid());
    qputenv("PACEQUILL_CONFIG_DIR", ConfigDir->path().toUtf8());
}

void TestFileTypeRegistration::storeLivesInTheConfigFolder() {
    QCOMPARE(ClassesRootStore::Location(), ConfigDir->filePath(QStringLiteral("classes-root.ini")));
}

void TestFileTypeRegistration::registerWritesTheIconValueOnly() {
    RecordingStore store;
    FileTypeRegistration::RegisterFileType(store, QStringLiteral("/opt/pacequill/bin/pacequill"));
    QCOMPARE(store.Calls, QStringList({QStringLiteral("create Pacequill.Application\\DefaultIcon"),
                                       QStringLiteral("set Pacequill.Application\\DefaultIcon = "
                                                      "/opt/pacequill/bin/pacequill,1")}));
    QCOMPARE(ClassesRootStore().DefaultValue(IconKey), QStringLiteral("/opt/pacequill/bin/pacequill,1"));
    // Nothing else: no extension, no open command, no document class.
    QCOMPARE(StoredKeys(), QStringList{QStringLiteral("Pacequill.Application/DefaultIcon/Default")});
}

void TestFileTypeRegistration::unregisterDeletesInOrder() {
    FileTypeRegistration::RegisterFileType(*std::make_unique<ClassesRootStore>(), QStringLiteral("/bin/pq"));
    RecordingStore store;
    FileTypeRegistration::UnregisterFileType(store);
    QCOMPARE(store.Calls, QStringList({QStringLiteral("create Pacequill.Application"),
                                       QStringLiteral("delete Pacequill.Application \\ DefaultIcon"),
                                       QStringLiteral("create Pacequill.Document.1"),
                                       QStringLiteral("delete Pacequill.Document.1 \\ DefaultIcon"),
                                       QStringLiteral("delete Pacequill.Application")}));
    QVERIFY(StoredKeys().isEmpty());
}

void TestFileTypeRegistration::laterStartRewritesThePath() {
    ClassesRootStore store;
    FileTypeRegistration::RegisterFileType(store, QStringLiteral("/home/a/pacequill"));
    FileTypeRegistration::RegisterFileType(store, QStringLiteral("/home/b/pacequill"));
    QCOMPARE(ClassesRootStore().DefaultValue(IconKey), QStringLiteral("/home/b/pacequill,1"));
}

void TestFileTypeRegistration::unregisterWithNothingRegistered() {
    ClassesRootStore store;
    FileTypeRegistration::UnregisterFileType(store);
    QVERIFY(!store.KeyExists(QStringLiteral("Pacequill.Application")));
    QVERIFY(!store.KeyExists(QStringLiteral("Pacequill.Document.1")));
}

void TestFileTypeRegistration::registerAgainAfterUnregister() {
    ClassesRootStore store;
    FileTypeRegistration::RegisterFileType(store, QStringLiteral("/bin/pq"));
    FileTypeRegistration::UnregisterFileType(store);
    FileTypeRegistration::RegisterFileType(store, QStringLiteral("/bin/pq2"));
    QCOMPARE(ClassesRootStore().DefaultValue(IconKey), QStringLiteral("/bin/pq2,1"));
}

void TestFileTypeRegistration::unwritableStoreIsIgnored() {
    // A folder below a plain file can never be created.
    QFile blocker(ConfigDir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("PACEQUILL_CONFIG_DIR", blocker.fileName().toUtf8() + "/sub");
    ClassesRootStore store;
    QVERIFY(!store.SetDefaultValue(IconKey, QStringLiteral("/bin/pq,1")));
    FileTypeRegistration::RegisterFileType(store, QStringLiteral("/bin/pq"));
    FileTypeRegistration::UnregisterFileType(store);
}

QTEST_MAIN(TestFileTypeRegistration)
#include "tst_FileTypeRegistration.moc"
