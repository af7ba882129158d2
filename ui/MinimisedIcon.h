#pragma once

class QIcon;
class QWidget;

// What a minimised window draws: its icon at the large icon size of the style, centred in the
// client area.
class MinimisedIcon {
public:
    static void Paint(QWidget& window, const QIcon& icon);
};
