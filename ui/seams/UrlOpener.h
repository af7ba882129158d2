#pragma once

#include <QString>

// Opens an address in the user's browser or file viewer: the one place where a link reaches the
// desktop. The program uses DesktopUrlOpener; tests put a recording opener in its place.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Opens the address. A failure is not reported: the user simply sees nothing open.
    virtual void Open(const QString& address) = 0;
};
