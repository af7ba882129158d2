#pragma once

#include "keying/AdaptiveDecoder.h"
#include "keying/KeyingMode.h"

#include <QDialog>

#include <optional>
#include <vector>

class AnnouncedLabel;
class Chooser;
class KeyArea;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QSpinBox;
class RhythmView;
class SendingPractice;

// The sending window, "Manipulation": a modeless window in which the learner keys a target text
// with a straight key or paddles and sees what was read back, aligned with the target in green
// and red, with the rhythm of the keying. It shows and asks; its owner keys, decodes and keeps
// score, told of every change through signals.
//
// Keys: while the window is active, Space and either Ctrl (and the left and right mouse buttons
// over the key area) go down and up as keyInput, whichever control has the focus, and reach no
// control: typing never presses a button here. Auto-repeat is ignored, and a key still held when
// the window loses the focus comes up then. The controls work from the keyboard with Tab, the
// arrow keys, Enter and their Alt shortcuts.
class SendingWindow : public QDialog {
    Q_OBJECT

public:
    explicit SendingWindow(QWidget* parent = nullptr);
    ~SendingWindow() override;

    // The choices, set without signals: the KeyerMode value (0-2), the keyer's speed [WPM] and
    // whether the paddles are swapped.
    void SetOptions(int mode, int wpm, bool swapped);

    // The target and what was read for it so far. Screen readers hear a new target, after the
    // score of the last one ("Dernier envoi : 4 sur 5 justes. À envoyer : P A R I S"), and each
    // sign as it is read ("R", "T au lieu de I", "E en trop", "R ; A manqué"); the key's
    // description starts with the target, which is what they say as the window opens.
    void ShowAttempt(const SendingPractice& practice);
    // The score of the last attempt completed, said with the next target.
    void ShowScore(int right, int total);
    // The rhythm of the last elements read, the speed and the mean proportions.
    void ShowRhythm(const std::vector<AdaptiveDecoder::Element>& elements, const AdaptiveDecoder::Rhythm& rhythm,
                    double wpm, bool hasSpeed);
    // Whether the key is heard: a silent key says why.
    void ShowSound(bool audible);
    // Lights the key area while the key is down.
    void ShowKey(bool down);

    // The input a key event keys: Space, or the left or right Ctrl key; none for other keys.
    static std::optional<KeyInput> InputOf(const QKeyEvent& event);

    KeyArea* Key() const { return keyArea; }

signals:
    void modeChanged(int mode);
    void wpmChanged(int wpm);
    void swapChanged(bool swapped);
    void newTextRequested();
    void keyInput(KeyInput input, bool down);
    // The window was shown, or hidden (closed).
    void opened();
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* BuildOptions();
    void Input(KeyInput input, bool down);
    void ReleaseAll();
    void DescribeKey(int mode);

    Chooser* modeChooser = nullptr;
    QSpinBox* wpmBox = nullptr;
    QCheckBox* swapBox = nullptr;
    QPushButton* newTextButton = nullptr;
    QLabel* targetText = nullptr;
    AnnouncedLabel* sentText = nullptr;
    AnnouncedLabel* scoreText = nullptr;
    KeyArea* keyArea = nullptr;
    RhythmView* rhythmView = nullptr;
    QLabel* rhythmText = nullptr;
    QLabel* soundText = nullptr;
    uint32_t inputsDown = 0; // one bit per KeyInput held
    QString spokenTarget;    // the target as a listener hears it
    bool opening = false;    // while the window opens
    bool scoreNews = false;  // a score shown that no announcement has said with the next target
};
