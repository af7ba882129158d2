#include "res/AppIcon.h"

#include <QString>

// The icon's pixmaps live in the Qt resource zelbin_icons.qrc, compiled into the static GUI
// library; a static library must register its resources itself.
static void InitIconResources() {
    Q_INIT_RESOURCE(zelbin_icons);
}

QIcon LoadAppIcon() {
    InitIconResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/zelbin-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
