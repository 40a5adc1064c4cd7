#pragma once

#include <QString>

class ClassesRootStore;

// The program's one registry record: the icon of its application class, "<program path>,1" as the default
// value of "Pacequill.Application\DefaultIcon" under the classes root. Failures are ignored.
namespace FileTypeRegistration {

void RegisterFileType(ClassesRootStore &store, const QString &programPath);
// Removes the record and the related keys, the application key last, after its subkey.
void UnregisterFileType(ClassesRootStore &store);

// The same on the machine's own store, for the running program.
void RegisterFileType();
void UnregisterFileType();

} // namespace FileTypeRegistration
