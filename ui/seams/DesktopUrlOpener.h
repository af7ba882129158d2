#pragma once

#include "ui/seams/UrlOpener.h"

// Opens addresses through QDesktopServices (xdg-open on Linux, the shell on Windows).
class DesktopUrlOpener : public UrlOpener {
public:
    void Open(const QString& address) override;

    // The opener every link uses unless it is given another one.
    static DesktopUrlOpener& Instance();
};
