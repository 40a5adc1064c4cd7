#include "frame/DialogTemplate.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeView>

#include <array>
#include <stdexcept>
#include <utility>

namespace {

// A dialog unit is a quarter of the average character width across and an eighth of the character height down.
constexpr int HorizontalUnitsPerChar = 4;
constexpr int LettersInAlphabet = 26;
constexpr int VerticalUnitsPerChar = 8;

constexpr std::array<std::pair<const char *, DialogTemplate::Kind>, 9> KindNames{{
    {"static", DialogTemplate::Kind::Static},
    {"edit", DialogTemplate::Kind::Edit},
    {"multiedit", DialogTemplate::Kind::MultiLineEdit},
    {"button", DialogTemplate::Kind::Button},
    {"defbutton", DialogTemplate::Kind::DefaultButton},
    {"combobox", DialogTemplate::Kind::ComboBox},
    {"groupbox", DialogTemplate::Kind::GroupBox},
    {"listview", DialogTemplate::Kind::ListView},
    {"tabbar", DialogTemplate::Kind::TabBar},
}};

bool KindFromName(const QString &name, DialogTemplate::Kind &kind) {
    for (const auto &[text, value] : KindNames) {
        if (name == QLatin1String(text)) {
            kind = value;
            return true;
        }
    }
    return false;
}

QWidget *StandardControl(const DialogTemplate::Control &control, QWidget *parent) {
    using Kind = DialogTemplate::Kind;
    switch (control.ControlKind) {
    case Kind::Static:
        return new QLabel(control.Text, parent);
    case Kind::Edit:
        return new QLineEdit(control.Text, parent);
    case Kind::MultiLineEdit:
        return new QPlainTextEdit(control.Text, parent);
    case Kind::Button:
        return new QPushButton(control.Text, parent);
    case Kind::DefaultButton: {
        auto *button = new QPushButton(control.Text, parent);
        button->setDefault(true);
        return button;
    }
    case Kind::ComboBox:
        return new QComboBox(parent);
    case Kind::GroupBox:
        return new QGroupBox(control.Text, parent);
    case Kind::ListView:
        return new QTreeView(parent);
    case Kind::TabBar:
        return new QTabBar(parent);
    }
    return nullptr;
}

// A control's text as a name: "&" marks a mnemonic ("&&" stands for "&"), and a label's closing colon is
// punctuation, not part of the name.
QString NameFromText(const QString &text) {
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&')
            ++i;
        if (i < text.size())
            name.append(text[i]);
    }
    name = name.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

bool IsLabel(const DialogTemplate::Control &control) {
    return control.ControlKind == DialogTemplate::Kind::Static && !NameFromText(control.Text).isEmpty();
}

void ApplyStyle(const DialogTemplate::Control &control, QWidget *widget) {
    const QStringList &style = control.Style;
    if (auto *frame = qobject_cast<QFrame *>(widget)) {
        if (style.contains(QLatin1String("border"))) {
            if (frame->frameShape() == QFrame::NoFrame)
                frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        } else if (qobject_cast<QAbstractScrollArea *>(widget)) {
            frame->setFrameShape(QFrame::NoFrame);
        }
    }
    if (widget->focusPolicy() != Qt::NoFocus)
        widget->setFocusPolicy(style.contains(QLatin1String("tabstop")) ? Qt::StrongFocus : Qt::ClickFocus);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (style.contains(QLatin1String("right")))
            label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        else if (style.contains(QLatin1String("center")))
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setReadOnly(style.contains(QLatin1String("readonly")));
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        edit->setReadOnly(style.contains(QLatin1String("readonly")));
    if (style.contains(QLatin1String("disabled")))
        widget->setEnabled(false);
    if (style.contains(QLatin1String("hidden")))
        widget->hide();
}

} // namespace

DialogTemplate DialogTemplate::Load(int id) {
    const QString path = QStringLiteral(":/dialogs/%1.json").arg(id);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("dialog template missing: " + path.toStdString());
    DialogTemplate result;
    QString error;
    if (!Parse(file.readAll(), result, error))
        throw std::runtime_error("dialog template " + path.toStdString() + " is damaged: " + error.toStdString());
    return result;
}

bool DialogTemplate::Parse(const QByteArray &json, DialogTemplate &result, QString &error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        error = parseError.errorString();
        return false;
    }
    const QJsonObject root = document.object();
    DialogTemplate parsed;
    parsed.Id = root.value(QLatin1String("id")).toInt();
    parsed.Caption = root.value(QLatin1String("caption")).toString();
    parsed.Width = root.value(QLatin1String("width")).toInt();
    parsed.Height = root.value(QLatin1String("height")).toInt();
    const QJsonObject font = root.value(QLatin1String("font")).toObject();
    parsed.FontFamily = font.value(QLatin1String("family")).toString();
    parsed.FontPointSize = font.value(QLatin1String("pointSize")).toInt();
    for (const QJsonValue value : root.value(QLatin1String("controls")).toArray()) {
        const QJsonObject object = value.toObject();
        Control control;
        control.Id = object.value(QLatin1String("id")).toInt();
        const QString kind = object.value(QLatin1String("kind")).toString();
        if (!KindFromName(kind, control.ControlKind)) {
            error = QStringLiteral("control %1 has the unknown kind \"%2\"").arg(control.Id).arg(kind);
            return false;
        }
        control.Text = object.value(QLatin1String("text")).toString();
        control.X = object.value(QLatin1String("x")).toInt();
        control.Y = object.value(QLatin1String("y")).toInt();
        control.Width = object.value(QLatin1String("w")).toInt();
        control.Height = object.value(QLatin1String("h")).toInt();
        for (const QJsonValue flag : object.value(QLatin1String("style")).toArray())
            control.Style.append(flag.toString());
        control.Name = object.value(QLatin1String("name")).toString();
        parsed.Controls.append(control);
    }
    result = parsed;
    return true;
}

QFont DialogTemplate::DialogFont() const {
    QFont font;
    if (!FontFamily.isEmpty())
        font.setFamily(FontFamily);
    if (FontPointSize > 0)
        font.setPointSize(FontPointSize);
    return font;
}

QSize DialogTemplate::BaseUnits() const {
    // The average width is taken over the 52 letters, rounded as dialog units have always been, so that a label
    // sized for its text in dialog units still fits its text in whatever font stands in for the dialog's.
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(DialogFont());
    const int average = (metrics.horizontalAdvance(letters) / LettersInAlphabet + 1) / 2;
    return {average, metrics.height()};
}

QRect DialogTemplate::ToPixels(int x, int y, int width, int height) const {
    const QSize base = BaseUnits();
    const auto across = [&](int units) { return qRound(units * base.width() / double(HorizontalUnitsPerChar)); };
    const auto down = [&](int units) { return qRound(units * base.height() / double(VerticalUnitsPerChar)); };
    return {across(x), down(y), across(width), down(height)};
}

QSize DialogTemplate::PixelSize() const {
    return ToPixels(0, 0, Width, Height).size();
}

qsizetype DialogTemplate::LabelIndex(qsizetype index) const {
    const Control &control = Controls.at(index);
    if (control.ControlKind != Kind::Edit && control.ControlKind != Kind::MultiLineEdit &&
        control.ControlKind != Kind::ComboBox)
        return -1;
    // The label that ends nearest to the left of the control on a row it shares with it.
    qsizetype nearest = -1;
    for (qsizetype other = 0; other < Controls.size(); ++other) {
        const Control &label = Controls.at(other);
        const bool sharesRow = label.Y < control.Y + control.Height && control.Y < label.Y + label.Height;
        const int rightEdge = label.X + label.Width;
        if (IsLabel(label) && sharesRow && rightEdge <= control.X &&
            (nearest < 0 || rightEdge > Controls.at(nearest).X + Controls.at(nearest).Width))
            nearest = other;
    }
    if (nearest < 0 && index > 0 && IsLabel(Controls.at(index - 1)))
        nearest = index - 1;
    return nearest;
}

QString DialogTemplate::AccessibleName(qsizetype index) const {
    const Control &control = Controls.at(index);
    if (!control.Name.isEmpty())
        return control.Name;
    if (control.ControlKind == Kind::Button || control.ControlKind == Kind::DefaultButton ||
        control.ControlKind == Kind::GroupBox)
        return NameFromText(control.Text);
    const qsizetype label = LabelIndex(index);
    return label < 0 ? QString() : NameFromText(Controls.at(label).Text);
}

void DialogTemplate::Build(QWidget *dialog, const ControlFactory &factory) const {
    dialog->setFont(DialogFont());
    dialog->setWindowTitle(Caption);
    dialog->resize(PixelSize());
    QList<QWidget *> widgets;
    for (qsizetype index = 0; index < Controls.size(); ++index) {
        const Control &control = Controls.at(index);
        QWidget *widget = factory ? factory(control, dialog) : nullptr;
        if (!widget)
            widget = StandardControl(control, dialog);
        widget->setObjectName(QString::number(control.Id));
        QRect area = ToPixels(control.X, control.Y, control.Width, control.Height);
        // A drop-down list's height in the table includes its dropped-down part; closed, it is one line high and
        // must not cover the controls below it.
        if (control.ControlKind == Kind::ComboBox)
            area.setHeight(widget->sizeHint().height());
        widget->setGeometry(area);
        if (const QString name = AccessibleName(index); !name.isEmpty())
            widget->setAccessibleName(name);
        ApplyStyle(control, widget);
        widgets.append(widget);
    }
    // A label that names its control is its buddy too: on Linux, screen readers take the name of a drop-down
    // list from that relation, not from the list's own accessible name.
    for (qsizetype index = 0; index < Controls.size(); ++index) {
        const qsizetype label = LabelIndex(index);
        if (label >= 0 && Controls.at(index).Name.isEmpty()) {
            if (auto *text = qobject_cast<QLabel *>(widgets.at(label)))
                text->setBuddy(widgets.at(index));
        }
    }
}
