// Renders the program's windows offscreen into PNG files, to look at them:
//   zelbin-screenshot <folder>
// Each window is built as the program builds it (over a fake sound device and settings in
// memory) and grabbed as it first appears. Add a window by adding a row to kShots.

#include "tests/app/TrainerFixture.h"
#include "ui/AboutDialog.h"
#include "ui/ConfigDialog.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>
#include <functional>

namespace {

struct Shot {
    const char* fileName;
    std::function<QPixmap()> take;
};

QPixmap MainWindow() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    QApplication::processEvents();
    return dialog.grab();
}

// The configuration dialog as "Configuration" opens it, with the default values and a few
// output devices named as PortAudio names them.
QPixmap ConfigWindow() {
    ConfigDialog dialog(
        Settings{}, {"default", "pulse", "HDA Intel PCH: ALC3246 Analog (hw:0,0)", "HDA Intel PCH: HDMI 0 (hw:0,3)"});
    dialog.OnInitDialog();
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        qWarning("the configuration dialog was not shown");
    }
    QApplication::processEvents();
    return dialog.grab();
}

// The About box as the "A propos" button opens it.
QPixmap AboutBox() {
    AboutDialog about;
    about.OnInitDialog();
    about.show();
    if (!QTest::qWaitForWindowExposed(&about)) {
        return {};
    }
    QApplication::processEvents();
    return about.grab();
}

const Shot kShots[] = {
    {"main.png", MainWindow},
    {"about.png", AboutBox},
    {"config.png", ConfigWindow},
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    int status = 0;
    for (const Shot& shot : kShots) {
        const QString path = folder.filePath(QString::fromUtf8(shot.fileName));
        const QPixmap picture = shot.take();
        if (picture.isNull() || !picture.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            status = 1;
            continue;
        }
        std::printf("%s: %d x %d\n", qPrintable(path), picture.width(), picture.height());
    }
    return status;
}
