#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class HelpClient;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class TPacequillCalcXfer;

// The entry editor: the modal dialog in which the user writes one log entry, doubling as a calculator that gives
// the third of distance, run time and pace from the other two, and the speed. The caller sets Accepted to 0, the
// three list indexes and the six Entry texts, runs it with Execute, and takes RowText when Accepted is 1.
class TPacequillCalc : public QDialog {
    Q_OBJECT

public:
    static constexpr int TemplateId = 2;
    // The editor's topic in the help file, shown in the named secondary window.
    static constexpr quint32 HelpTopicContext = 30001;
    static const QString HelpFile;

    // Controls of template 2.
    static constexpr int DistanceUnitListId = 502;
    static constexpr int PaceUnitListId = 503;
    static constexpr int CalcModeListId = 504;
    static constexpr int DistanceId = 602;
    static constexpr int HoursId = 603;
    static constexpr int MinutesId = 604;
    static constexpr int SecondsId = 605;
    static constexpr int PaceMinutesId = 606;
    static constexpr int PaceSecondsId = 607;
    static constexpr int NotesId = 608;
    static constexpr int NotesLabelId = 210;
    static constexpr int DateId = 609;
    static constexpr int MphId = 610;
    static constexpr int KphId = 611;
    static constexpr int CalculateId = 904;
    static constexpr int ResetId = 905;
    static constexpr int OkId = 906;
    static constexpr int CancelId = 907;
    static constexpr int HelpId = 109;

    // Runs a prepared editor modally. Tests install one that drives the real dialog instead of waiting for a user.
    using Runner = std::function<void(TPacequillCalc &editor)>;
    static void InstallRunner(Runner runner); // an empty runner restores exec()

    // help answers the Help button; nullptr leaves the button without effect.
    TPacequillCalc(QWidget *parent, HelpClient *help);
    ~TPacequillCalc() override;

    void Execute();

    // The tags and shoes, with their signs, that the Notes field offers to complete while one is typed (once).
    void SetNoteMarks(const QStringList &marks);

    // Sets the fields and lists from the Entry texts and the initial selections (also Reset).
    void LoadFields();
    // Empties the speeds and the result fields of the mode that list 504 shows.
    void ClearModeResults();
    void Calculate();
    // Collects the fields, checks the date and, when both pass, builds RowText and closes accepted.
    void Ok();
    void RequestHelp();

    // Selections at opening; Reset returns to them.
    int InitialDistanceUnit = 0;
    int InitialPaceUnit = 0;
    int InitialCalcMode = 0;

    // The entry to edit, as Windows-1252 texts set by the caller.
    std::string EntryDate;
    std::string EntryDistance; // without the unit word
    std::string EntryHours;
    std::string EntryMinutes;
    std::string EntrySeconds;
    std::string EntryNotes; // line breaks as stored, 0xA0 0xA0

    // The accepted entry as a row text; valid when Accepted is 1.
    std::string RowText;
    int Accepted = 0;

    int DistanceUnitIndex = 0;
    int PaceUnitIndex = 0;
    int CalcModeIndex = 0;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void SetupWindow();
    void TransferToControls();
    // Encodes the fields into the transfer record; false, with a message and the record untouched, when a field
    // holds a character that a log entry cannot hold.
    bool TransferFromControls();
    void BuildRowText(const std::string &dateText);
    void OnUnitPicked(QComboBox *list, int &index, int picked);
    void OnModePicked(int picked);
    void LimitNotes();
    // The template leaves the Notes label without a mnemonic: it gets the first of its letters that no other
    // control takes, and leads to the notes field.
    void GiveNotesMnemonic();

    TPacequillCalcXfer &Transfer;
    HelpClient *Help;
    bool Opened = false;

    QLineEdit *Distance = nullptr;
    QLineEdit *Hours = nullptr;
    QLineEdit *Minutes = nullptr;
    QLineEdit *Seconds = nullptr;
    QLineEdit *PaceMinutes = nullptr;
    QLineEdit *PaceSeconds = nullptr;
    QPlainTextEdit *Notes = nullptr;
    QLineEdit *Date = nullptr;
    QLineEdit *Mph = nullptr;
    QLineEdit *Kph = nullptr;
    QComboBox *DistanceUnits = nullptr;
    QComboBox *PaceUnits = nullptr;
    QComboBox *CalcModes = nullptr;
};
