#include "shell/LockIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>

#include "frame/MenuTables.h"
#include "shell/KeyboardIndicatorState.h"

namespace {

// Room around the widest label, so an indicator does not change its width when it goes dark.
constexpr int IndicatorPadding = 8;

// The XKB names of the indicators, in Lock order.
const char *const XkbIndicatorNames[LockIndicators::LockCount] = {"Caps Lock", "Num Lock", "Scroll Lock"};

} // namespace

LockIndicators::LockIndicators(QStatusBar *statusBar) : QObject(statusBar) {
    const QStringList texts = MenuTables::LockIndicatorLabels();
    for (const QString &text : texts) {
        auto *label = new QLabel(text, statusBar);
        label->setObjectName(text);
        // The text goes blank while the lock is off; the name stays.
        label->setAccessibleName(text);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + IndicatorPadding);
        statusBar->addPermanentWidget(label);
        Labels.append(label);
    }
    qApp->installEventFilter(this);
    Refresh();
}

QLabel *LockIndicators::Indicator(Lock lock) const {
    return Labels.value(static_cast<int>(lock));
}

void LockIndicators::Refresh() {
    for (const Lock lock : {Lock::Caps, Lock::Num, Lock::Scroll})
        Show(lock, ReadState(lock));
}

void LockIndicators::Show(Lock lock, std::optional<bool> on) {
    QLabel *label = Indicator(lock);
    if (!label)
        return;
    const QString name = label->objectName();
    label->setEnabled(on.has_value());
    label->setText(on.value_or(true) ? name : QString());
}

bool LockIndicators::eventFilter(QObject *watched, QEvent *event) {
    // The lock state changes with keys, and may have changed while another program had the keyboard.
    switch (event->type()) {
    case QEvent::KeyRelease:
        if (watched->isWidgetType())
            Refresh();
        break;
    case QEvent::ApplicationActivate:
        Refresh();
        break;
    default:
        break;
    }
    return false;
}

std::optional<bool> LockIndicators::ReadState(Lock lock) {
    return KeyboardIndicatorState::Read(XkbIndicatorNames[static_cast<int>(lock)]);
}
