#include "res/AppIcon.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>

namespace {

// A blue tile with a dih and a dah ("A" in Morse) in white, drawn for one square size [px].
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(24, 64, 140));
    const qreal corner = size * 0.18;
    painter.drawRoundedRect(QRectF(0, 0, size, size), corner, corner);

    painter.setBrush(Qt::white);
    const qreal unit = size / 8.0; // one dih
    const qreal top = size / 2.0 - unit / 2.0;
    painter.drawEllipse(QRectF(unit, top, unit, unit));
    painter.drawRoundedRect(QRectF(3 * unit, top, 4 * unit, unit), unit / 2.0, unit / 2.0);
    return pixmap;
}

} // namespace

QIcon LoadAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(DrawIcon(size));
    }
    return icon;
}
