#include "calc/TPacequillCalc.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>
#include <stdexcept>
#include <utility>

#include "calc/DateRules.h"
#include "calc/NoteCompleter.h"
#include "calc/RunArithmetic.h"
#include "calc/TPacequillCalcXfer.h"
#include "frame/DialogTemplate.h"
#include "frame/HelpClient.h"
#include "frame/HelpContextRegistry.h"
#include "frame/Prompts.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"

const QString TPacequillCalc::HelpFile = QStringLiteral("pacequill.hlp>pqhw");

namespace {

// The controls that carry a help context of their own, the context being the control id.
constexpr int HelpContextControls[] = {904, 905, 906, 907, 109, 602, 502, 603, 604, 605,
                                       606, 607, 503, 504, 609, 610, 611, 608, 191, 192};
constexpr int TabOrder[] = {602, 502, 603, 604, 605, 606, 607, 503, 608, 504, 609, 904, 906, 907, 905, 109};

constexpr int DistanceUnitCount = 3;
constexpr int PaceUnitCount = 2;
constexpr int CalcModeCount = 3;

constexpr char PaddingZero = '0';
constexpr char DecimalPoint = '.';
constexpr std::size_t PaddedPartLength = 2;
constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
constexpr char Blank = ' ';
constexpr char32_t FirstPrintable = 0x20;
constexpr char32_t LastC1Control = 0x9F;
constexpr char32_t Delete = 0x7F;
constexpr int CodePointDigits = 4; // U+0009, U+2713
constexpr int Hexadecimal = 16;
constexpr int StoredLineBreakLength = 2; // CR LF, held as 0xA0 0xA0

const std::string NoNotesText = "None";
const std::string BlankDistanceText = "0";

const QString CharacterRefusedText =
    QStringLiteral("The %1 field holds the character %2, which a log entry cannot hold. Please remove or replace it.");
const QString OneMoreRefusedText = QStringLiteral("The %1 field holds the character %2, which a log entry cannot "
                                                  "hold, and %3 more such character. Please remove or replace them.");
const QString MoreRefusedText = QStringLiteral("The %1 field holds the character %2, which a log entry cannot hold, "
                                               "and %3 more such characters. Please remove or replace them.");
const QString CharacterRefusedCaption = QStringLiteral("Character not allowed");
const QString NoUnitsText = QStringLiteral("No distance units found");
const QString NoUnitsCaption = QStringLiteral("Debug Message");

QString FromBytes(std::string_view bytes) {
    return QString::fromStdU16String(pq::Decode1252(bytes));
}

QString FromView(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The calculator reads numbers only; characters outside Latin-1 can never be part of one.
std::string NumberText(const QLineEdit *field) {
    return field->text().toLatin1().toStdString();
}

QString DescribeCharacter(char32_t character) {
    QString code = QStringLiteral("U+%1")
                       .arg(static_cast<uint>(character), CodePointDigits, Hexadecimal, QLatin1Char('0'))
                       .toUpper();
    const bool control = character < FirstPrintable || (character >= Delete && character <= LastC1Control);
    if (control)
        return code;
    return QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&character, 1), code);
}

// Whether one character can stand in a field of a log entry. TAB and line breaks would split an entry, so only
// Notes may hold line breaks (stored as 0xA0 later) and TABs (everything after the third field belongs to the
// notes); the record marker may stand nowhere, nor a NUL, which would end the record's text when the log is read
// back. units holds the character's one or two UTF-16 units.
bool Storable(std::u16string_view units, bool notes) {
    const pq::Encoded1252 encoded = pq::Encode1252(units);
    if (!encoded.Ok)
        return false;
    for (const char byte : encoded.Bytes) {
        const bool breaksEntry = byte == pq::FieldSeparator || byte == CarriageReturn || byte == LineFeed;
        if (byte == pq::RecordMarker || byte == '\0' || (!notes && breaksEntry))
            return false;
    }
    return true;
}

// The characters of a field's text that a log entry cannot hold: the first, where it stands in the text and how
// many UTF-16 units it takes, and how many there are in all.
struct Refusal {
    char32_t Character = 0;
    qsizetype Position = 0;
    qsizetype Length = 0;
    int Count = 0;
};

std::optional<Refusal> FindRefusal(const QString &text, bool notes) {
    const std::u16string_view units(reinterpret_cast<const char16_t *>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    std::optional<Refusal> refusal;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        if (!Storable(units.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(length)), notes)) {
            if (!refusal) {
                const char32_t character =
                    pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : static_cast<char32_t>(text[i].unicode());
                refusal = Refusal{character, i, length, 0};
            }
            ++refusal->Count;
        }
        i += length;
    }
    return refusal;
}

QString RefusalText(const QString &field, const Refusal &refusal) {
    const QString character = DescribeCharacter(refusal.Character);
    const int more = refusal.Count - 1;
    if (more == 0)
        return CharacterRefusedText.arg(field, character);
    return (more == 1 ? OneMoreRefusedText : MoreRefusedText).arg(field, character).arg(more);
}

// Puts the focus on a field that the user must correct, with the part at fault selected.
void SelectForCorrection(QWidget *field, qsizetype position, qsizetype length) {
    field->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(field)) {
        edit->setSelection(static_cast<int>(position), static_cast<int>(length));
    } else if (auto *notes = qobject_cast<QPlainTextEdit *>(field)) {
        QTextCursor cursor = notes->textCursor();
        cursor.setPosition(static_cast<int>(position));
        cursor.setPosition(static_cast<int>(position + length), QTextCursor::KeepAnchor);
        notes->setTextCursor(cursor);
    }
}

// Hours and minutes of the time text: "00" for nothing, a leading zero for a single character.
std::string PaddedTimePart(const std::string &text) {
    if (text.empty())
        return std::string(PaddedPartLength, PaddingZero);
    if (text.size() == 1)
        return PaddingZero + text;
    return text;
}

std::string PaddedSeconds(const std::string &text) {
    if (text.empty() || text.front() == DecimalPoint)
        return std::string(PaddedPartLength, PaddingZero) + text;
    if (text.size() == 1 || text[1] == DecimalPoint)
        return PaddingZero + text;
    return text;
}

// A line break in the notes field counts as the two bytes it is stored as.
int StoredNotesLength(const QString &text) {
    return static_cast<int>(text.size() + (StoredLineBreakLength - 1) * text.count(u'\n'));
}

template <typename Widget> Widget *ControlOf(QWidget *dialog, int id) {
    auto *control = dialog->findChild<Widget *>(QString::number(id), Qt::FindDirectChildrenOnly);
    if (!control)
        throw std::runtime_error("dialog template 2 lacks control " + std::to_string(id));
    return control;
}

// The letters that the dialog's buttons and labels already take as mnemonics, in lower case.
QString TakenMnemonics(const QWidget *dialog) {
    QString taken;
    for (const QWidget *child : dialog->findChildren<QWidget *>()) {
        QString text;
        if (const auto *button = qobject_cast<const QAbstractButton *>(child))
            text = button->text();
        else if (const auto *label = qobject_cast<const QLabel *>(child))
            text = label->text();
        for (qsizetype at = text.indexOf(u'&'); at >= 0 && at + 1 < text.size(); at = text.indexOf(u'&', at + 2)) {
            if (text[at + 1] != u'&')
                taken += text[at + 1].toLower();
        }
    }
    return taken;
}

TPacequillCalc::Runner InstalledRunner;

} // namespace

void TPacequillCalc::InstallRunner(Runner runner) {
    InstalledRunner = std::move(runner);
}

TPacequillCalc::TPacequillCalc(QWidget *parent, HelpClient *help)
    : QDialog(parent), Transfer(TPacequillCalcXfer::Shared()), Help(help) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    const DialogTemplate layout = DialogTemplate::Load(TemplateId);
    layout.Build(this);
    setFixedSize(layout.PixelSize());

    Distance = ControlOf<QLineEdit>(this, DistanceId);
    Hours = ControlOf<QLineEdit>(this, HoursId);
    Minutes = ControlOf<QLineEdit>(this, MinutesId);
    Seconds = ControlOf<QLineEdit>(this, SecondsId);
    PaceMinutes = ControlOf<QLineEdit>(this, PaceMinutesId);
    PaceSeconds = ControlOf<QLineEdit>(this, PaceSecondsId);
    Notes = ControlOf<QPlainTextEdit>(this, NotesId);
    Date = ControlOf<QLineEdit>(this, DateId);
    Mph = ControlOf<QLineEdit>(this, MphId);
    Kph = ControlOf<QLineEdit>(this, KphId);
    DistanceUnits = ControlOf<QComboBox>(this, DistanceUnitListId);
    PaceUnits = ControlOf<QComboBox>(this, PaceUnitListId);
    CalcModes = ControlOf<QComboBox>(this, CalcModeListId);

    for (const DialogTemplate::Control &control : layout.Controls) {
        auto *edit = findChild<QLineEdit *>(QString::number(control.Id), Qt::FindDirectChildrenOnly);
        if (edit && control.Style.contains(QLatin1String("center")))
            edit->setAlignment(Qt::AlignCenter);
    }
    // Typing limits of the fields that go into an entry; the pace fields have none of their own.
    Distance->setMaxLength(static_cast<int>(pq::DistanceWidth));
    for (QLineEdit *timePart : {Hours, Minutes, Seconds})
        timePart->setMaxLength(static_cast<int>(pq::TimeWidth));
    Date->setMaxLength(static_cast<int>(pq::DateWidth));
    Notes->setTabChangesFocus(true);
    Notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    GiveNotesMnemonic();

    for (std::size_t i = 0; i + 1 < std::size(TabOrder); ++i)
        setTabOrder(ControlOf<QWidget>(this, TabOrder[i]), ControlOf<QWidget>(this, TabOrder[i + 1]));

    // textEdited, not textChanged: only the user's own typing clears results, never the texts written here.
    for (QLineEdit *field : {Distance, Hours, Minutes, Seconds, PaceMinutes, PaceSeconds})
        connect(field, &QLineEdit::textEdited, this, &TPacequillCalc::ClearModeResults);
    connect(DistanceUnits, &QComboBox::activated, this,
            [this](int picked) { OnUnitPicked(DistanceUnits, DistanceUnitIndex, picked); });
    connect(PaceUnits, &QComboBox::activated, this,
            [this](int picked) { OnUnitPicked(PaceUnits, PaceUnitIndex, picked); });
    connect(CalcModes, &QComboBox::activated, this, &TPacequillCalc::OnModePicked);
    connect(Notes, &QPlainTextEdit::textChanged, this, &TPacequillCalc::LimitNotes);

    connect(ControlOf<QPushButton>(this, CalculateId), &QPushButton::clicked, this, &TPacequillCalc::Calculate);
    connect(ControlOf<QPushButton>(this, ResetId), &QPushButton::clicked, this, &TPacequillCalc::LoadFields);
    connect(ControlOf<QPushButton>(this, OkId), &QPushButton::clicked, this, &TPacequillCalc::Ok);
    connect(ControlOf<QPushButton>(this, CancelId), &QPushButton::clicked, this, &QDialog::reject);
    connect(ControlOf<QPushButton>(this, HelpId), &QPushButton::clicked, this, &TPacequillCalc::RequestHelp);

    for (const int control : HelpContextControls)
        HelpContextRegistry::Application().Add(this, static_cast<quint32>(control), 0, control);
}

TPacequillCalc::~TPacequillCalc() {
    HelpContextRegistry::Application().RemoveWindow(this);
}

void TPacequillCalc::Execute() {
    if (InstalledRunner)
        InstalledRunner(*this);
    else
        exec();
}

void TPacequillCalc::showEvent(QShowEvent *event) {
    if (!Opened && !event->spontaneous()) {
        Opened = true;
        SetupWindow();
    }
    QDialog::showEvent(event);
}

void TPacequillCalc::SetupWindow() {
    InitialDistanceUnit = DistanceUnitIndex;
    InitialPaceUnit = PaceUnitIndex;
    InitialCalcMode = CalcModeIndex;
    LoadFields();
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    Distance->setFocus(Qt::OtherFocusReason);
}

void TPacequillCalc::LoadFields() {
    for (std::string *number : {&EntryDistance, &EntryHours, &EntryMinutes, &EntrySeconds}) {
        const std::size_t first = number->find_first_not_of(PaddingZero);
        number->erase(0, first == std::string::npos ? number->size() : first);
    }
    // Stored line breaks (0xA0 pairs) become CR LF. A lone 0xA0, such as a no-break space from elsewhere, becomes
    // a blank: kept as 0xA0 it could pair with a neighbour and turn into a line break on the next save.
    for (std::size_t i = 0; i < EntryNotes.size(); ++i) {
        if (EntryNotes[i] != pq::StoredLineBreak)
            continue;
        if (i + 1 < EntryNotes.size() && EntryNotes[i + 1] == pq::StoredLineBreak) {
            EntryNotes[i] = CarriageReturn;
            EntryNotes[++i] = LineFeed;
        } else {
            EntryNotes[i] = Blank;
        }
    }

    Transfer.DistanceText = EntryDistance;
    Transfer.HoursText = EntryHours;
    Transfer.MinutesText = EntryMinutes;
    Transfer.SecondsText = EntrySeconds;
    Transfer.NotesText = EntryNotes;
    Transfer.DateText = EntryDate;

    Transfer.DistanceUnitList = {{}, InitialDistanceUnit};
    for (int unit = 0; unit < DistanceUnitCount; ++unit)
        Transfer.DistanceUnitList.Items.append(FromView(pq::UnitLabel(static_cast<pq::DistanceUnit>(unit))));
    Transfer.PaceUnitList = {{}, InitialPaceUnit};
    for (int unit = 0; unit < PaceUnitCount; ++unit)
        Transfer.PaceUnitList.Items.append(FromView(pq::PaceUnitLabel(static_cast<pq::PaceUnit>(unit))));
    Transfer.CalcModeList = {{}, InitialCalcMode};
    for (int mode = 0; mode < CalcModeCount; ++mode)
        Transfer.CalcModeList.Items.append(FromView(pq::CalcModeLabel(static_cast<pq::CalcMode>(mode))));
    TransferToControls();
    DistanceUnitIndex = InitialDistanceUnit;
    PaceUnitIndex = InitialPaceUnit;
    CalcModeIndex = InitialCalcMode;

    if (EntryNotes == NoNotesText)
        Notes->clear();
    Date->setText(FromBytes(pq::DateFieldText(EntryDate)));
    for (QLineEdit *result : {PaceMinutes, PaceSeconds, Mph, Kph})
        result->clear();
}

void TPacequillCalc::TransferToControls() {
    Distance->setText(FromBytes(Transfer.DistanceText));
    Hours->setText(FromBytes(Transfer.HoursText));
    Minutes->setText(FromBytes(Transfer.MinutesText));
    Seconds->setText(FromBytes(Transfer.SecondsText));
    QString notes = FromBytes(Transfer.NotesText);
    notes.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    notes.replace(u'\r', u'\n');
    Notes->setPlainText(notes);
    Date->setText(FromBytes(Transfer.DateText));

    const std::pair<QComboBox *, const TPacequillCalcXfer::ListState *> lists[] = {
        {DistanceUnits, &Transfer.DistanceUnitList},
        {PaceUnits, &Transfer.PaceUnitList},
        {CalcModes, &Transfer.CalcModeList}};
    for (const auto &[list, state] : lists) {
        list->clear();
        list->addItems(state->Items);
        list->setCurrentIndex(state->Selection);
    }
}

bool TPacequillCalc::TransferFromControls() {
    struct Field {
        QWidget *Control;
        QString Text;
        QString Name;
        std::string *Target;
    };
    // The notes field's plain text has a line feed for each line break and a blank for each no-break space; the
    // blank keeps 0xA0 for stored line breaks alone.
    const Field fields[] = {{Distance, Distance->text(), QStringLiteral("Distance"), &Transfer.DistanceText},
                            {Hours, Hours->text(), QStringLiteral("Hours"), &Transfer.HoursText},
                            {Minutes, Minutes->text(), QStringLiteral("Minutes"), &Transfer.MinutesText},
                            {Seconds, Seconds->text(), QStringLiteral("Seconds"), &Transfer.SecondsText},
                            {Notes, Notes->toPlainText(), QStringLiteral("Notes"), &Transfer.NotesText},
                            {Date, Date->text(), QStringLiteral("Date"), &Transfer.DateText}};
    for (const Field &field : fields) {
        if (const std::optional<Refusal> refusal = FindRefusal(field.Text, field.Control == Notes)) {
            Prompts::Error(this, CharacterRefusedCaption, RefusalText(field.Name, *refusal));
            SelectForCorrection(field.Control, refusal->Position, refusal->Length);
            return false;
        }
    }
    for (const Field &field : fields) {
        QString text = field.Text;
        // A line break is stored as CR LF.
        if (field.Control == Notes)
            text.replace(u'\n', QLatin1String("\r\n"));
        *field.Target = pq::Encode1252(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                                           static_cast<std::size_t>(text.size())))
                            .Bytes;
    }

    const std::pair<const QComboBox *, TPacequillCalcXfer::ListState *> lists[] = {
        {DistanceUnits, &Transfer.DistanceUnitList},
        {PaceUnits, &Transfer.PaceUnitList},
        {CalcModes, &Transfer.CalcModeList}};
    for (const auto &[list, state] : lists) {
        state->Items.clear();
        for (int item = 0; item < list->count(); ++item)
            state->Items.append(list->itemText(item));
        state->Selection = list->currentIndex();
    }
    return true;
}

void TPacequillCalc::ClearModeResults() {
    Mph->clear();
    Kph->clear();
    CalcModeIndex = CalcModes->currentIndex();
    switch (static_cast<pq::CalcMode>(CalcModeIndex)) {
    case pq::CalcMode::Distance:
        Distance->clear();
        break;
    case pq::CalcMode::Time:
        Hours->clear();
        Minutes->clear();
        Seconds->clear();
        break;
    case pq::CalcMode::Pace:
        PaceMinutes->clear();
        PaceSeconds->clear();
        break;
    }
}

void TPacequillCalc::OnUnitPicked(QComboBox *list, int &index, int picked) {
    if (picked == index)
        return;
    index = list->currentIndex();
    ClearModeResults();
}

void TPacequillCalc::OnModePicked(int picked) {
    if (picked == CalcModeIndex)
        return;
    ClearModeResults();
}

void TPacequillCalc::Calculate() {
    DistanceUnitIndex = DistanceUnits->currentIndex();
    PaceUnitIndex = PaceUnits->currentIndex();
    pq::CalcInput input;
    input.Mode = static_cast<pq::CalcMode>(CalcModeIndex);
    input.Unit = static_cast<pq::DistanceUnit>(DistanceUnitIndex);
    input.Pace = static_cast<pq::PaceUnit>(PaceUnitIndex);
    input.Distance = NumberText(Distance);
    input.Hours = NumberText(Hours);
    input.Minutes = NumberText(Minutes);
    input.Seconds = NumberText(Seconds);
    input.PaceMinutes = NumberText(PaceMinutes);
    input.PaceSeconds = NumberText(PaceSeconds);

    const pq::CalcResult result = pq::Calculate(input);
    if (result.MissingInput) {
        Prompts::Error(this, FromView(pq::MissingInputCaption(input.Mode)),
                       FromView(pq::MissingInputMessage(input.Mode)));
        return;
    }
    switch (input.Mode) {
    case pq::CalcMode::Distance:
        Distance->setText(FromView(result.Distance));
        break;
    case pq::CalcMode::Time:
        Hours->setText(FromView(result.Hours));
        Minutes->setText(FromView(result.Minutes));
        Seconds->setText(FromView(result.Seconds));
        break;
    case pq::CalcMode::Pace:
        PaceMinutes->setText(FromView(result.PaceMinutes));
        PaceSeconds->setText(FromView(result.PaceSeconds));
        break;
    }
    Mph->setText(FromView(result.Mph));
    Kph->setText(FromView(result.Kph));
}

void TPacequillCalc::Ok() {
    if (!TransferFromControls())
        return;
    const pq::DateValidation date = pq::ValidateDateText(Transfer.DateText);
    switch (date.Result) {
    case pq::DateCheck::ImproperDateFormat:
        Prompts::Error(this, FromView(pq::ImproperDateFormatCaption), FromView(pq::ImproperDateFormatMessage));
        SelectForCorrection(Date, 0, Date->text().size());
        return;
    case pq::DateCheck::InvalidDate:
        Prompts::Error(this, FromView(pq::InvalidDateCaption), FromView(pq::InvalidDateMessage));
        SelectForCorrection(Date, 0, Date->text().size());
        return;
    case pq::DateCheck::Accepted:
        break;
    }
    BuildRowText(date.DateText);
    Accepted = 1;
    accept();
}

void TPacequillCalc::BuildRowText(const std::string &dateText) {
    RowText = dateText;
    RowText += pq::FieldSeparator;
    RowText += Transfer.DistanceText.empty() ? BlankDistanceText : Transfer.DistanceText;
    const int unit = Transfer.DistanceUnitList.Selection;
    if (unit >= 0 && unit < DistanceUnitCount) {
        DistanceUnitIndex = unit;
        RowText += Blank;
        RowText += pq::UnitWord(static_cast<pq::DistanceUnit>(unit));
    } else {
        Prompts::Error(this, NoUnitsCaption, NoUnitsText);
    }
    RowText += pq::FieldSeparator;

    RowText += PaddedTimePart(Transfer.HoursText);
    RowText += ':';
    RowText += PaddedTimePart(Transfer.MinutesText);
    RowText += ':';
    std::string &seconds = Transfer.SecondsText;
    if (!seconds.empty() && seconds.back() == DecimalPoint)
        seconds.pop_back();
    RowText += PaddedSeconds(seconds);
    RowText += pq::FieldSeparator;

    std::string &notes = Transfer.NotesText;
    if (notes.empty()) {
        RowText += NoNotesText;
        return;
    }
    for (char &byte : notes) {
        if (byte == CarriageReturn || byte == LineFeed)
            byte = pq::StoredLineBreak;
    }
    RowText += notes;
}

void TPacequillCalc::RequestHelp() {
    if (Help)
        Help->Request(this, HelpFile, HelpClient::Command::Context, HelpTopicContext);
}

// The notes field holds at most 755 bytes as stored. Typing or pasting past that keeps the text before the
// cursor up to the limit, as a limited edit control does.
void TPacequillCalc::SetNoteMarks(const QStringList &marks) {
    new NoteCompleter(Notes, marks);
}

void TPacequillCalc::GiveNotesMnemonic() {
    auto *label = ControlOf<QLabel>(this, NotesLabelId);
    const QString taken = TakenMnemonics(this);
    const QString text = label->text();
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at].isLetter() && !taken.contains(text[at].toLower())) {
            label->setText(text.left(at) + u'&' + text.mid(at));
            label->setBuddy(Notes);
            return;
        }
    }
}

void TPacequillCalc::LimitNotes() {
    int excess = StoredNotesLength(Notes->toPlainText()) - static_cast<int>(pq::NotesWidth);
    if (excess <= 0)
        return;
    QTextCursor cursor = Notes->textCursor();
    const QTextDocument *document = Notes->document();
    int start = cursor.position();
    while (excess > 0 && start > 0) {
        const QChar previous = document->characterAt(start - 1);
        excess -= previous == QChar::ParagraphSeparator || previous == QChar::LineSeparator ? StoredLineBreakLength : 1;
        --start;
    }
    cursor.setPosition(start, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    Notes->setTextCursor(cursor);
}
