#include "frame/Resources.h"

#include <QDirIterator>

namespace Resources {

QPixmap Bitmap(int id, qreal devicePixelRatio) {
    // A bitmap drawn for high-density screens is stored beside the plain one as "<id>@2x.png".
    if (devicePixelRatio > 1.0) {
        QPixmap dense(QStringLiteral(":/bitmaps/%1@2x.png").arg(id));
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(DenseBitmapRatio);
            return dense;
        }
    }
    return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

QIcon Icon(int id) {
    QIcon icon;
    // Each image of the group is stored as "<id>-<size>.png".
    QDirIterator images(QStringLiteral(":/icons"), {QStringLiteral("%1-*.png").arg(id)});
    while (images.hasNext())
        icon.addFile(images.next());
    return icon;
}

QCursor Cursor(int id) {
    return QCursor(QPixmap(QStringLiteral(":/cursors/%1.png").arg(id)), 0, 0);
}

} // namespace Resources
