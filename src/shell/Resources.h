#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's bitmaps, icons and cursor, compiled in from resources/pacequill.qrc and named by number.
namespace Resources {

inline constexpr int SplashBitmap = 12345;
inline constexpr int AboutLogo = 1101;
inline constexpr int IconGroup = 1001;
inline constexpr int HelpCursor = 24000;

// A bitmap by number (the splash, the About logo, a toolbar button's picture).
QPixmap Bitmap(int id);
// An icon group with all its sizes.
QIcon Icon(int id);
// A cursor by number, its hot spot at the top-left corner.
QCursor Cursor(int id);

} // namespace Resources
