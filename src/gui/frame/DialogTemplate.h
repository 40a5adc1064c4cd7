#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// A dialog template: the dialog's size and font and a table of controls, each placed in dialog units. Templates
// are JSON tables under resources/dialogs, named by their number; one builder turns any of them into widgets.
class DialogTemplate {
public:
    enum class Kind { Static, Edit, MultiLineEdit, Button, DefaultButton, ComboBox, GroupBox, ListView, TabBar };

    struct Control {
        int Id = 0;
        Kind ControlKind = Kind::Static;
        QString Text;
        int X = 0; // dialog units
        int Y = 0;
        int Width = 0;
        int Height = 0;
        QStringList Style; // "border", "tabstop", "disabled", "hidden", "readonly", "right", "center"
        QString Name;      // accessible name for a control that no text or label names; optional in the table
    };

    // Makes the widget for a control, or returns nullptr to let the builder make its standard one.
    using ControlFactory = std::function<QWidget *(const Control &control, QWidget *parent)>;

    int Id = 0;
    QString Caption;
    int Width = 0; // dialog units
    int Height = 0;
    QString FontFamily;
    int FontPointSize = 0;
    QList<Control> Controls;

    // Reads template id from the program's resources; throws std::runtime_error when it is missing or damaged,
    // which only a broken build can cause.
    static DialogTemplate Load(int id);
    // Parses a template table from its JSON text; false with the reason in error when the text is not one.
    static bool Parse(const QByteArray &json, DialogTemplate &result, QString &error);

    QFont DialogFont() const;
    // Dialog units to pixels through the dialog font: x by a quarter of the average character width, y by an
    // eighth of the character height.
    QSize BaseUnits() const;
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize PixelSize() const;

    // The static label of the edit or drop-down list at index in Controls: the one that ends nearest to its
    // left on a row they share, else the static just before it in the table; -1 when there is none.
    qsizetype LabelIndex(qsizetype index) const;
    // The name screen readers give the control at index: its "name" in the table; else for a button or group
    // box its text without "&"; else the text of its label. Empty for a static text, whose name follows its text
    // as the dialog changes it, and for anything else that nothing names.
    QString AccessibleName(qsizetype index) const;

    // Sets the dialog's font, caption and size and creates its controls as children, each named by its id and
    // given its accessible name.
    void Build(QWidget *dialog, const ControlFactory &factory = {}) const;
};
