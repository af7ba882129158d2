#include "ui/HomePage.h"

#include "ui/LinkLabel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QUrl>

#ifndef ZELBIN_HOMEPAGE_URL
#define ZELBIN_HOMEPAGE_URL ""
#endif
#ifndef ZELBIN_HELP_PAGE_INSTALLED
#define ZELBIN_HELP_PAGE_INSTALLED "/usr/local/share/zelbin/help/index.html"
#endif

namespace HomePage {

namespace {
constexpr const char* kHelpPageBelowPrefix = "share/zelbin/help/index.html";
}

QString LocateHelpPage(const QString& programDir, const QString& installedPath) {
    const QDir dir(programDir);
    for (const char* up : {"..", "../.."}) {
        const QString candidate = QDir::cleanPath(dir.filePath(QString::fromLatin1(up) + '/' + kHelpPageBelowPrefix));
        if (QFileInfo(candidate).isFile()) {
            return QUrl::fromLocalFile(candidate).toString();
        }
    }
    return QUrl::fromLocalFile(installedPath).toString();
}

QString Address() {
    const QString configured = QString::fromUtf8(ZELBIN_HOMEPAGE_URL);
    if (!configured.isEmpty()) {
        return configured;
    }
    return LocateHelpPage(QCoreApplication::applicationDirPath(), QString::fromUtf8(ZELBIN_HELP_PAGE_INSTALLED));
}

QString Caption(const QString& address, const QFont& font, int widthPx) {
    return QFontMetrics(font).elidedText(address, Qt::ElideMiddle, widthPx);
}

QString WithQuery(const QString& address, const char* query) {
    QString joined = QString::fromLatin1(query);
    if (address.contains(u'?') && joined.startsWith(u'?')) {
        joined[0] = u'&';
    }
    return address + joined;
}

QString MainWindowLink() {
    return WithQuery(Address(), kMainWindowQuery);
}

QString AboutLink() {
    return WithQuery(Address(), kAboutQuery);
}

} // namespace HomePage

void HomePage::SetUpMainWindowLink(LinkLabel& link, UrlOpener* opener) {
    link.setText(Caption(Address(), link.font(), link.width()));
    link.SetUrlOpener(opener);
    link.SetURL(MainWindowLink());
    link.EnableTooltip(true);
    link.SetTooltipText(QString::fromUtf8("Aide, dernières versions, support..."));
    link.SetTooltipBkColor(QColor(0, 0, 0));
    link.SetTooltipTextColor(QColor(0, 255, 0));
}
