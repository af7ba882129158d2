// Renders the program's windows offscreen into PNG files, to look at them:
//   zelbin-screenshot <folder>
// Each window is built as the program builds it (over a fake sound device and settings in
// memory) and grabbed as it first appears. Add a window by adding a row to kShots.

#include "practice/CopyAlignment.h"
#include "render/TextFolder.h"
#include "tests/app/TrainerFixture.h"
#include "ui/AboutDialog.h"
#include "ui/ConfigDialog.h"
#include "ui/CopyWindow.h"
#include "ui/KeyArea.h"
#include "ui/ProgressWindow.h"
#include "ui/SendingWindow.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>

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

// A month of practice, drawn from a fixed seed: the learner works through the Koch lessons
// up to 20 characters, the newer characters are missed more often and answered more slowly,
// and misses go mostly to characters that sound alike.
std::vector<AnswerRecord> SeededHistory(int64_t nowMs) {
    constexpr std::string_view koch = "KMRSUAPTLOWINJEFYVG5Q9ZH38B427C1D60X";
    const std::pair<char, char> alike[] = {{'Q', 'Y'}, {'5', 'H'}, {'H', 'S'}, {'V', 'U'}, {'F', 'L'}, {'Y', 'Q'},
                                           {'W', 'P'}, {'G', 'Z'}, {'I', 'S'}, {'J', 'W'}, {'U', 'V'}, {'R', 'L'}};
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> spread(0.0, 140.0);
    std::vector<AnswerRecord> records;
    const int64_t dayMs = 86'400'000;
    for (int daysAgo = 29; daysAgo >= 0; --daysAgo) {
        if (daysAgo % 4 == 3 || daysAgo == 12) {
            continue; // days off
        }
        const double progress = (29.0 - daysAgo) / 29.0;
        const int known = 8 + static_cast<int>(progress * 12.0);
        const int64_t startMs = nowMs - daysAgo * dayMs - 4 * 3'600'000;
        for (int n = 0; n < 90; ++n) {
            const int index = static_cast<int>(unit(random) * known);
            const char played = koch[static_cast<size_t>(index)];
            const double newness = static_cast<double>(index) / 20.0;
            const double missChance = 0.03 + 0.35 * newness * (1.1 - progress);
            AnswerRecord record;
            record.atMs = startMs + n * 3000;
            record.mode = "random";
            record.played = played;
            record.typed = played;
            if (unit(random) < missChance) {
                record.typed = static_cast<char>(koch[static_cast<size_t>(unit(random) * known)]);
                for (const auto& [from, to] : alike) {
                    if (from == played && unit(random) < 0.7) {
                        record.typed = to;
                    }
                }
                if (unit(random) < 0.15) {
                    record.typed = 0;
                }
            }
            if (record.typed != 0) {
                record.responseMs = static_cast<int64_t>(std::max(250.0, 520.0 + 900.0 * newness + spread(random)));
            }
            records.push_back(record);
        }
    }
    return records;
}

// The progress window over a seeded month of history, in UTC so that the days fall the same
// on every machine, with lesson 20 and the adaptive drill chosen and lesson 21 offered.
QPixmap ProgressShot() {
    setenv("TZ", "UTC", 1);
    tzset();
    const int64_t nowMs = 1'765'130'400'000; // Sunday 7 December 2025, 18:00 UTC
    const std::vector<AnswerRecord> history = SeededHistory(nowMs);
    ProgressWindow::Sources sources;
    sources.load = [&history](int64_t sinceMs) {
        std::vector<AnswerRecord> since;
        std::copy_if(history.begin(), history.end(), std::back_inserter(since),
                     [sinceMs](const AnswerRecord& record) { return record.atMs >= sinceMs; });
        return since;
    };
    sources.nowMs = [nowMs] { return nowMs; };
    sources.lesson = [] { return 20; };
    sources.adaptive = [] { return true; };
    sources.sessionStartMs = nowMs - 3'600'000;
    ProgressWindow window(sources);
    window.OfferLesson(21);
    window.resize(1000, 700); // as it opens on a 1024 x 768 screen, larger than the offscreen one
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return {};
    }
    QApplication::processEvents();
    return window.grab();
}

// The copy window after a run of five callsigns at 25 words per minute, spaced out to 18, with
// two signs missed or mistaken.
QPixmap CopyShot() {
    const std::string played = "F5ABC DL1XYZ K1AB EA8/DL1ABC F5ABC/P";
    std::vector<int32_t> signs;
    std::vector<bool> spaceBefore;
    bool space = false;
    for (const char slot : TextFolder::Fold(played)) {
        if (slot == TextFolder::kSpace) {
            space = true;
            continue;
        }
        signs.push_back(TextFolder::SignOfSlot(slot));
        spaceBefore.push_back(space);
        space = false;
    }
    const std::vector<CopyAlignment::Mark> marks = CopyAlignment::Align(signs, "F5ABC DL1XZY K1AB EA8/DL1ABC F5AB/P");
    const auto correct =
        static_cast<int32_t>(std::count_if(marks.begin(), marks.end(), [](const auto& m) { return m.correct; }));
    CopyWindow window;
    window.SetOptions({3, 25, 18, 5, true});
    window.ShowCorrection(marks, spaceBefore, correct);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return {};
    }
    QApplication::processEvents();
    return window.grab();
}

// The sending window halfway through a target, keyed with a straight key at about 16 WPM by a
// learner whose dahs run long, with one character wrong and one missing.
QPixmap SendingShot() {
    TrainerFixture trainer;
    double nowMs = 1000;
    trainer.environment.keyClockMs = [&nowMs] { return nowMs; };
    trainer.environment.clockMs = [] { return int64_t{1'765'130'400'000}; };
    TrainerDialog& dialog = trainer.Open();
    TrainerSending& sending = dialog.Sending();
    sending.SetMaterial([] { return std::string("KMRSU AKPTL OWIMK LSRAU"); });
    sending.OpenWindow();
    SendingWindow* window = sending.Window();
    if (!QTest::qWaitForWindowExposed(window)) {
        return {};
    }
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> jitter(0.85, 1.15);
    const double unitMs = 75;
    const auto wait = [&](double units) {
        const double endMs = nowMs + units * unitMs * jitter(random);
        for (; nowMs < endMs; nowMs += 10) {
            sending.Poll();
        }
    };
    const auto key = [&](QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(window->Key(), &event);
    };
    const MorseTable table;
    for (const char c : std::string("KMRSU AKPTR OIM")) {
        if (c == ' ') {
            wait(4);
            continue;
        }
        MorseCode code{};
        table.CodeForChar(c, code);
        for (int i = 0; i < MorseCode::kLength && code.codes[i] != End; ++i) {
            if (code.codes[i] == Gap) {
                wait(1);
                continue;
            }
            key(QEvent::KeyPress);
            wait(code.codes[i] == Dah ? 3.6 : 1.0);
            key(QEvent::KeyRelease);
        }
        wait(3.3);
    }
    trainer.sidetone->Play(4410);
    sending.Poll();
    QApplication::processEvents();
    return window->grab();
}

const Shot kShots[] = {
    {"main.png", MainWindow},       {"about.png", AboutBox}, {"config.png", ConfigWindow},
    {"progress.png", ProgressShot}, {"copy.png", CopyShot},  {"sending.png", SendingShot},
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
