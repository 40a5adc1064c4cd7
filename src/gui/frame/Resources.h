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

// The pixel density of the bitmaps drawn for high-density screens.
inline constexpr qreal DenseBitmapRatio = 2.0;

// A bitmap by number (the splash, the About logo, a toolbar button's picture); on a screen of a higher pixel
// ratio the version drawn for it where there is one.
QPixmap Bitmap(int id, qreal devicePixelRatio = 1.0);
// An icon group with all its sizes.
QIcon Icon(int id);
// A cursor by number, its hot spot at the top-left corner.
QCursor Cursor(int id);

} // namespace Resources
