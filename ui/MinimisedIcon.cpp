#include "ui/MinimisedIcon.h"

#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QWidget>

void MinimisedIcon::Paint(QWidget& window, const QIcon& icon) {
    QPainter painter(&window);
    const int iconSize = window.style()->pixelMetric(QStyle::PM_LargeIconSize);
    painter.drawPixmap((window.width() - iconSize + 1) / 2, (window.height() - iconSize + 1) / 2,
                       icon.pixmap(iconSize, iconSize));
}
