#include "shell/FileTypeRegistration.h"

#include <QCoreApplication>

#include "shell/ClassesRootStore.h"

namespace FileTypeRegistration {
namespace {

const QString ApplicationKey = QStringLiteral("Pacequill.Application");
const QString DocumentKey = QStringLiteral("Pacequill.Document.1");
const QString DefaultIconKey = QStringLiteral("DefaultIcon");
// The icon of the program file that the record names: its second icon.
const QString IconIndexSuffix = QStringLiteral(",1");

} // namespace

void RegisterFileType(ClassesRootStore &store, const QString &programPath) {
    const QString iconKey = ApplicationKey + QLatin1Char('\\') + DefaultIconKey;
    store.CreateKey(iconKey);
    store.SetDefaultValue(iconKey, programPath + IconIndexSuffix);
}

void UnregisterFileType(ClassesRootStore &store) {
    store.CreateKey(ApplicationKey);
    store.DeleteSubKey(ApplicationKey, DefaultIconKey);
    store.CreateKey(DocumentKey);
    store.DeleteSubKey(DocumentKey, DefaultIconKey);
    store.DeleteKey(ApplicationKey);
}

void RegisterFileType() {
    ClassesRootStore store;
    RegisterFileType(store, QCoreApplication::applicationFilePath());
}

void UnregisterFileType() {
    ClassesRootStore store;
    UnregisterFileType(store);
}

} // namespace FileTypeRegistration
