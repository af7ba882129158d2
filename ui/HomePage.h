#pragma once

#include <QFont>
#include <QString>

class LinkLabel;
class UrlOpener;

// The address the two links open: the product's web page when the build names one
// (ZELBIN_HOMEPAGE_URL), otherwise the French help page installed with the program.
namespace HomePage {

// The query each link appends; its utm_source names the window that holds the link.
inline constexpr const char* kMainWindowQuery = "?utm_source=principale&utm_medium=zelbin&utm_campaign=executable";
inline constexpr const char* kAboutQuery = "?utm_source=about&utm_medium=zelbin&utm_campaign=executable";

// The web page given at build time, or the file URL of the help page when none was given.
QString Address();

// The help page next to the program: <dir>/../share/zelbin/help/index.html when the program is
// installed or runs from the build tree, <dir>/../../share/... for the test programs one folder
// deeper, else installedPath. Returns a file URL.
QString LocateHelpPage(const QString& programDir, const QString& installedPath);

// The address as a link shows it in widthPx of the given font: whole when it fits, else with
// its middle left out.
QString Caption(const QString& address, const QFont& font, int widthPx);

// The address followed by the query; a query that the address already has goes on with '&'.
QString WithQuery(const QString& address, const char* query);

// Address() followed by the main window's or the About box's query.
QString MainWindowLink();
QString AboutLink();

// Sets up the main window's link 1031: the address as its caption, MainWindowLink() as its
// target opened through opener (the desktop's when null), and its tooltip "Aide, dernières
// versions, support..." in green on black.
void SetUpMainWindowLink(LinkLabel& link, UrlOpener* opener);

} // namespace HomePage
