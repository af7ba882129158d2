#include "app/TrainerApp.h"

#include "app/ProgramEnvironment.h"
#include "app/TrainerDialog.h"
#include "res/AppIcon.h"
#include "ui/seams/MessageSeam.h"

#include <QApplication>

int TrainerApp::Run(char* programPath) {
    int argumentCount = 1;
    char* arguments[] = {programPath, nullptr};
    QApplication application(argumentCount, arguments);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    QApplication::setWindowIcon(LoadAppIcon());
    // Lets Wayland desktops match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelbin.Zelbin"));
    InitInstance();
    return 0;
}

bool TrainerApp::InitInstance() {
    ProgramEnvironment environment;
    {
        TrainerDialog dialog(environment.Environment());
        dialog.DoModal();
    }
    return false;
}
