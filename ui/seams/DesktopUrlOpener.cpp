#include "ui/seams/DesktopUrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopUrlOpener::Open(const QString& address) {
    // The result is deliberately ignored: a link that cannot be opened shows nothing.
    (void)QDesktopServices::openUrl(QUrl(address));
}

DesktopUrlOpener& DesktopUrlOpener::Instance() {
    static DesktopUrlOpener opener;
    return opener;
}
