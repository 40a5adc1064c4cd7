#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// Where the Charts and Records windows open: centred on the main window, and whole inside the available area of
// its screen (without the panels), shrunk to it where they would not fit.
namespace WindowPlacement {

// The geometry, without its frame, of a window of this size whose frame adds these margins, centred on the
// rectangle over and moved and shrunk into the available area.
QRect CentredInside(QSize size, const QMargins &frame, const QRect &over, const QRect &available);
// Gives a window that is not shown yet its place over another window that is.
void PlaceOver(QWidget *window, const QWidget *over);

} // namespace WindowPlacement
