#pragma once

#include <QIcon>

// Icon 128, the application's icon: the window's big and small icon and the About box's
// picture. Drawn in code at the usual icon sizes.
QIcon LoadAppIcon();
