#include "app/TrainerApp.h"

#include "app/ProgramEnvironment.h"
#include "app/SessionEnd.h"
#include "app/TrainerDialog.h"
#include "res/AppIcon.h"
#include "ui/seams/MessageSeam.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int TrainerApp::Run(char* programPath) {
    int argumentCount = 1;
    char* arguments[] = {programPath, nullptr};
    QApplication application(argumentCount, arguments);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    QApplication::setWindowIcon(LoadAppIcon());
    // Lets Wayland desktops match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelbin.Zelbin"));
    LoadQtTranslation(application);
    InitInstance();
    return 0;
}

bool TrainerApp::LoadQtTranslation(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

bool TrainerApp::InitInstance() {
    ProgramEnvironment environment;
    {
        TrainerDialog dialog(environment.Environment());
        // Ends every event loop, a message box's or a dialog's over the window included.
        const SessionEnd end(dialog, environment.Environment().history, [] { QCoreApplication::exit(0); });
        dialog.DoModal();
    }
    return false;
}
