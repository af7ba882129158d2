#pragma once

// The main window in a dictation or configuration test: the fixture's fake sound device,
// settings in memory and recorded message boxes, plus window timers fired by hand and an
// open-file dialog that answers with a given path. Also the Morse and pattern texts that
// the tests expect, written out independently of the window's table.

#include "morse/RandomPicker.h"
#include "res/ResourceIds.h"
#include "tests/app/TrainerFixture.h"
#include "tests/ui/seams/FakeFileDialogSeam.h"
#include "tests/ui/seams/FakeTimerSeam.h"
#include "ui/ConfigDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

class DictationRig {
public:
    static constexpr uint32_t kTimerId = 31;

    explicit DictationRig(int32_t deviceCount = 1) : trainer(deviceCount) {
        trainer.environment.timers = &timers;
        trainer.environment.fileDialog = &fileDialog;
        trainer.environment.pickIndex = [this] {
            if (picks.empty()) {
                return RandomPicker::PickIndex();
            }
            const int32_t index = picks.front();
            picks.pop_front();
            return index;
        };
    }

    TrainerDialog& Open() { return trainer.Open(); }
    TrainerDialog& Dialog() { return trainer.Dialog(); }

    void Click(int32_t controlId) {
        auto* button = trainer.Control<QAbstractButton>(controlId);
        QVERIFY2(button != nullptr, qPrintable(QString::number(controlId)));
        QVERIFY2(button->isEnabled(), qPrintable(QStringLiteral("%1 is disabled").arg(controlId)));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    bool Enabled(int32_t controlId) { return trainer.Control<QWidget>(controlId)->isEnabled(); }

    // The enabled state of 1026, 1027, 1016 and 1017, as "1101" (1 = enabled).
    QString Interlock() {
        QString state;
        for (int32_t id : {MainControl::kDictationPlay, MainControl::kDictationStop, MainControl::kFilePlay,
                           MainControl::kFileStop}) {
            state += Enabled(id) ? u'1' : u'0';
        }
        return state;
    }

    QString Text(int32_t controlId) { return trainer.Control<QLabel>(controlId)->text(); }

    // One tick of timer 31, as if its period had elapsed.
    bool Tick() { return timers.Fire(kTimerId); }

    // Answers the next configuration dialog from inside its modal run: act on it, then click
    // button (OK, Annuler...).
    static void AnswerConfigDialog(std::function<void(ConfigDialog&)> act, int32_t button) {
        QTimer::singleShot(0, [act, button] {
            auto* dialog = qobject_cast<ConfigDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                qWarning("no configuration dialog to answer");
                return;
            }
            if (act) {
                act(*dialog);
            }
            auto* target = TemplateBuilder::Control<QAbstractButton>(*dialog, button);
            QTest::mouseClick(target, Qt::LeftButton);
        });
    }

    // The characters the random dictation draws next, in order; once they are used up it
    // draws as the program does.
    std::deque<int32_t> picks;
    // The seams first, so that they outlive the window the fixture owns.
    FakeTimerSeam timers;
    FakeFileDialogSeam fileDialog;
    TrainerFixture trainer;
};

// International Morse of the 36 characters, in index order: 'A'-'Z', then '0'-'9'.
inline const char* const kMorseByIndex[36] = {
    ".-",   "-...", "-.-.",  "-..",   ".",     "..-.",  "--.",   "....",  "..",    ".---",  "-.-",   ".-..",
    "--",   "-.",   "---",   ".--.",  "--.-",  ".-.",   "...",   "-",     "..-",   "...-",  ".--",   "-..-",
    "-.--", "--..", "-----", ".----", "..---", "...--", "....-", ".....", "-....", "--...", "---..", "----."};

inline const char kCharacterByIndex[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The pattern text of a character as the dictation shows it: '.' for a dih, '_' for a dah,
// one space between two elements.
inline QString PatternOf(int32_t index) {
    QString pattern;
    for (const char* element = kMorseByIndex[index]; *element != '\0'; ++element) {
        if (!pattern.isEmpty()) {
            pattern += u' ';
        }
        pattern += *element == '.' ? u'.' : u'_';
    }
    return pattern;
}

// Short elements keep the recordings short: dih 20 ms, dah 60 ms, pause 20 ms.
inline void UseShortElements(TrainerFixture& trainer) {
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DIHLenght", 20);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DAHLenght", 60);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "PauseLenght", 20);
}

// What the window plays next, decoded, with short elements: "" for silence.
inline std::string Hear(TrainerFixture& trainer) {
    const auto sound = trainer.Listen(TrainerFixture::kRingFrames + FramesOfMs(5 * 80) + 4096);
    return RunsToMorse(ToneRuns(sound), FramesOfMs(20), FramesOfMs(60));
}
