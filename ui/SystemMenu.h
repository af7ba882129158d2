#pragma once

#include <cstdint>
#include <functional>

class QString;
class QWidget;

// The window menu of a top-level window, where the program owns it (Windows): adds the About
// item, command 16 with string 101 "&A propos de Zelbin...", after a separator. No menu or an
// empty string adds nothing. On X11 and Wayland the window manager owns that menu: nothing to do.
//
// The item's command reaches onSysCommand (command id, second message parameter), which
// returns true when it handled the command; every other command keeps its default processing.
class SystemMenu {
public:
    using Handler = std::function<bool(uint32_t commandId, intptr_t parameter)>;
    static void AppendAbout(QWidget& window, Handler onSysCommand);
    // Adds an item with this command id and text below the last one; its command reaches the
    // handler given to AppendAbout. Nothing on X11 and Wayland.
    static void AppendItem(QWidget& window, uint32_t commandId, const QString& text);
};
