#pragma once

#include <QString>

#include <memory>

class QSettings;

// The classes root of the system registry. On Linux it is an INI file at
// $XDG_CONFIG_HOME/pacequill/classes-root.ini (the folder can be overridden with PACEQUILL_CONFIG_DIR); on
// Windows it is the real HKEY_CLASSES_ROOT. Key paths use "\" between their parts, as registry paths do. Every
// operation answers whether it succeeded; the program ignores the answers.
class ClassesRootStore {
public:
    ClassesRootStore();
    virtual ~ClassesRootStore();

    // Where the store lives on this machine.
    static QString Location();

    // Opens a key, creating it when absent. The INI store keeps no empty keys: a key shows up with its first value.
    virtual bool CreateKey(const QString &keyPath);
    virtual bool SetDefaultValue(const QString &keyPath, const QString &value);
    // Deletes subKey of keyPath; fails when it does not exist or has subkeys of its own.
    virtual bool DeleteSubKey(const QString &keyPath, const QString &subKey);
    // Deletes a key; fails when it does not exist or has subkeys.
    virtual bool DeleteKey(const QString &keyPath);

    QString DefaultValue(const QString &keyPath) const;
    bool KeyExists(const QString &keyPath) const;

private:
    bool RemoveKey(const QString &keyPath);
    bool Commit();

    std::unique_ptr<QSettings> Settings;
};
