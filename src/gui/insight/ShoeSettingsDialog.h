#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "insight/LogProfile.h"

class HelpClient;
class QCheckBox;
class QComboBox;
class QLineEdit;

// Shoe Settings: one shoe's own distance limit, its start (the distance it had before this log), the date it was
// retired and whether it is the default shoe of imported runs. OK checks what was typed, saying what is wrong and
// where, and writes the shoe's line of the log's profile (the other lines stay as they are); a failed write is
// reported and the dialog stays open.
class ShoeSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // Control ids; help on any of them pops up the dialog's topic.
    static constexpr int LimitId = 45011;
    static constexpr int LimitUnitId = 45012;
    static constexpr int StartId = 45013;
    static constexpr int StartUnitId = 45014;
    static constexpr int RetiredId = 45015;
    static constexpr int DefaultId = 45016;
    // The help topic of the Help button, in the secondary help window.
    static constexpr quint32 HelpContext = 45001;

    // logPath: the log whose profile is written. unit: the unit of an empty field. help: where the Help button's
    // request goes; nullptr for the application's help client.
    ShoeSettingsDialog(std::string logPath, pq::ShoeSettings settings, pq::DistanceUnit unit, QWidget *parent = nullptr,
                       HelpClient *help = nullptr);
    ~ShoeSettingsDialog() override;

    QLineEdit *LimitField() const { return Limit; }
    QComboBox *LimitUnitChoice() const { return LimitUnit; }
    QLineEdit *StartField() const { return Start; }
    QComboBox *StartUnitChoice() const { return StartUnit; }
    QLineEdit *RetiredField() const { return Retired; }
    QCheckBox *DefaultChoice() const { return Default; }

    // The settings as written, after OK.
    const pq::ShoeSettings &Settings() const { return Shoe; }

    void accept() override;

private:
    // The settings typed, or nothing after saying what is wrong.
    std::optional<pq::ShoeSettings> Typed();
    // A distance field: empty for none; false after saying what is wrong.
    bool ReadDistance(QLineEdit *field, const QComboBox *unit, bool aboveZero, const QString &problem,
                      std::optional<pq::ProfileDistance> &distance);
    void Refuse(QLineEdit *field, const QString &text);
    void ShowHelp();

    std::string LogPath;
    pq::ShoeSettings Shoe;
    HelpClient *Help;
    QLineEdit *Limit = nullptr;
    QComboBox *LimitUnit = nullptr;
    QLineEdit *Start = nullptr;
    QComboBox *StartUnit = nullptr;
    QLineEdit *Retired = nullptr;
    QCheckBox *Default = nullptr;
};
