#pragma once

#include <QIcon>

// Icon 128, the application's icon: the window's big and small icon and the About box's
// picture: dah dah dit dit over a straight key, rendered from res/icon/zelbin.svg at the usual
// icon sizes, 16 to 256 pixels.
QIcon LoadAppIcon();
