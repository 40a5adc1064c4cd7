#include "insight/ShoeSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

#include "calc/DateRules.h"
#include "frame/ContextHelp.h"
#include "frame/HelpClient.h"
#include "frame/HelpContextRegistry.h"
#include "frame/Prompts.h"
#include "insight/ReportFormats.h"
#include "log/CodePage1252.h"
#include "log/NoteMarks.h"
#include "stats/StatsCalendar.h"

namespace {

const QString Caption = QStringLiteral("Shoe Settings");
const QString HelpFile = QStringLiteral("pacequill.hlp>pqhw");
const QString LimitProblem =
    QStringLiteral("The limit must be a distance above 0, such as 500, or empty for the limit of the Shoes page.");
const QString StartProblem = QStringLiteral(
    "The start must be a distance of 0 or more, such as 120: what the shoe was run before this log. Leave it empty "
    "for none.");
const QString RetiredProblem = QStringLiteral(
    "The retired date must be a date yyyy/mm/dd from 1980/01/01 to 2079/12/31, such as 2025/03/31, or empty for a "
    "shoe still in use.");
const QString SaveFailedText = QStringLiteral("The shoe's settings were not saved.\n\n%1");
const QString DatePlaceholder = QStringLiteral("yyyy/mm/dd");
constexpr pq::DistanceUnit Units[] = {pq::DistanceUnit::Miles, pq::DistanceUnit::Kilometers};
constexpr int FieldCharacters = 12;

QComboBox *UnitChoice(int id, pq::DistanceUnit unit) {
    auto *choice = new QComboBox;
    choice->setObjectName(QString::number(id));
    for (const pq::DistanceUnit each : Units)
        choice->addItem(QString::fromLatin1(pq::UnitWord(each).data()), static_cast<int>(each));
    choice->setCurrentIndex(choice->findData(static_cast<int>(unit)));
    return choice;
}

QLineEdit *Field(int id, const QString &text) {
    auto *field = new QLineEdit(text);
    field->setObjectName(QString::number(id));
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * FieldCharacters);
    return field;
}

QString NumberText(const std::optional<pq::ProfileDistance> &distance) {
    return distance ? QString::number(distance->Value, 'g', QLocale::FloatingPointShortest) : QString();
}

} // namespace

ShoeSettingsDialog::ShoeSettingsDialog(std::string logPath, pq::ShoeSettings settings, pq::DistanceUnit unit,
                                       QWidget *parent, HelpClient *help)
    : QDialog(parent), LogPath(std::move(logPath)), Shoe(std::move(settings)),
      Help(help ? help : &ContextHelp::ApplicationClient()) {
    setWindowTitle(Caption);
    setWindowFlags(windowFlags() | Qt::WindowContextHelpButtonHint);
    const QString name = QLatin1Char(pq::ShoeSign) + QString::fromStdU16String(pq::Decode1252(Shoe.Name));

    Limit = Field(LimitId, NumberText(Shoe.Limit));
    Limit->setPlaceholderText(QStringLiteral("the Shoes page's limit"));
    LimitUnit = UnitChoice(LimitUnitId, Shoe.Limit ? Shoe.Limit->Unit : unit);
    Start = Field(StartId, NumberText(Shoe.Start));
    Start->setPlaceholderText(QStringLiteral("0"));
    StartUnit = UnitChoice(StartUnitId, Shoe.Start ? Shoe.Start->Unit : unit);
    Retired = Field(RetiredId, Shoe.RetiredDay ? QString::fromStdString(pq::DayText(*Shoe.RetiredDay)) : QString());
    Retired->setPlaceholderText(DatePlaceholder);
    Retired->setAccessibleName(QStringLiteral("Retired on"));
    Default = new QCheckBox(QStringLiteral("&Default shoe of imported runs"));
    Default->setObjectName(QString::number(DefaultId));
    Default->setChecked(Shoe.Default);
    Default->setToolTip(QStringLiteral("Runs imported from GPX, TCX and FIT files without a shoe get this one"));

    Limit->setAccessibleName(QStringLiteral("Limit"));
    Start->setAccessibleName(QStringLiteral("Start"));
    LimitUnit->setAccessibleName(QStringLiteral("Unit of the limit"));
    StartUnit->setAccessibleName(QStringLiteral("Unit of the start"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Shoe:"), new QLabel(name));
    const std::pair<QString, QLineEdit *> fields[] = {{QStringLiteral("&Limit:"), Limit},
                                                      {QStringLiteral("&Start:"), Start},
                                                      {QStringLiteral("&Retired on:"), Retired}};
    for (const auto &[text, field] : fields) {
        auto *label = new QLabel(text);
        label->setBuddy(field);
        auto *row = new QHBoxLayout;
        row->addWidget(field, 1);
        if (field == Limit || field == Start)
            row->addWidget(field == Limit ? LimitUnit : StartUnit);
        form->addRow(label, row);
    }
    form->addRow(Default);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &ShoeSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &ShoeSettingsDialog::ShowHelp);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    HelpContextRegistry &registry = HelpContextRegistry::Application();
    for (const int id : {LimitId, LimitUnitId, StartId, StartUnitId, RetiredId, DefaultId})
        registry.Add(this, HelpContext, 0, id);
}

ShoeSettingsDialog::~ShoeSettingsDialog() {
    HelpContextRegistry::Application().RemoveWindow(this);
}

void ShoeSettingsDialog::accept() {
    const std::optional<pq::ShoeSettings> typed = Typed();
    if (!typed)
        return;
    // A line the user did not change is not rewritten.
    if (*typed != Shoe) {
        std::string error;
        if (!pq::SaveShoeSettings(LogPath, *typed, error)) {
            Prompts::Error(this, Caption, SaveFailedText.arg(QString::fromUtf8(error.c_str())));
            return;
        }
        Shoe = *typed;
    }
    QDialog::accept();
}

std::optional<pq::ShoeSettings> ShoeSettingsDialog::Typed() {
    pq::ShoeSettings typed = Shoe;
    if (!ReadDistance(Limit, LimitUnit, true, LimitProblem, typed.Limit) ||
        !ReadDistance(Start, StartUnit, false, StartProblem, typed.Start))
        return std::nullopt;
    typed.RetiredDay.reset();
    const QString retired = Retired->text().trimmed();
    if (!retired.isEmpty()) {
        pq::CivilDate date;
        if (!pq::ReadDateText(retired.toStdString(), date)) {
            Refuse(Retired, RetiredProblem);
            return std::nullopt;
        }
        typed.RetiredDay = pq::DayNumber(date.Year, date.Month, date.Day);
    }
    typed.Default = Default->isChecked();
    return typed;
}

bool ShoeSettingsDialog::ReadDistance(QLineEdit *field, const QComboBox *unit, bool aboveZero, const QString &problem,
                                      std::optional<pq::ProfileDistance> &distance) {
    const QByteArray text = field->text().trimmed().toLatin1();
    if (text.isEmpty()) {
        distance.reset();
        return true;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0 ||
        (aboveZero && value == 0)) {
        Refuse(field, problem);
        return false;
    }
    distance = pq::ProfileDistance{value, static_cast<pq::DistanceUnit>(unit->currentData().toInt())};
    return true;
}

void ShoeSettingsDialog::Refuse(QLineEdit *field, const QString &text) {
    Prompts::Error(this, Caption, text);
    field->setFocus();
    field->selectAll();
}

void ShoeSettingsDialog::ShowHelp() {
    Help->Request(this, HelpFile, HelpClient::Command::Context, HelpContext);
}
