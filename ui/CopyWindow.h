#pragma once

#include "practice/CopyAlignment.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class AnnouncedLabel;
class Chooser;
class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The copy window, "Copie": a modeless window of its own over the main window, whose keys are
// never answers of the main window's practices. It chooses the material, the speeds, the
// number of items of a run and "Vitesse auto"; "Écouter" plays a run; the answer field (which
// has the focus when the window opens) takes what was heard. Return with an empty field plays
// the next run, Return with text stops the run and corrects it, Escape stops the run. The
// correction shows each sign played, green when it was copied right, red with what was typed
// for it otherwise, and the score; screen readers hear the score and the errors in words, once.
// "Écouter" hands the focus to the answer field.
//
// It plays and stores nothing itself: it tells its owner through signals.
class CopyWindow : public QDialog {
    Q_OBJECT

public:
    struct Options {
        int32_t material = 0;   // CopyMaterial::Kind
        int32_t wpm = 20;       // [words/min]
        int32_t farnsworth = 0; // [words/min], 0: none
        int32_t count = 5;
        bool autoSpeed = false;
    };

    explicit CopyWindow(QWidget* parent = nullptr);

    // Shows options, without signals.
    void SetOptions(const Options& options);
    Options CurrentOptions() const;

    // The correction of a run: its signs as played (spaceBefore: a word began there) and the
    // score.
    void ShowCorrection(const std::vector<CopyAlignment::Mark>& marks, const std::vector<bool>& spaceBefore,
                        int32_t correct);
    // A message in place of the correction (a missing word list), announced.
    void ShowMessage(const QString& text);
    // The new speed set by "Vitesse auto", said after the score.
    void ShowNewSpeed(int32_t wpm);
    void ClearAnswer();

    // The texts of the window, for tests.
    static QString ScoreText(int32_t correct, int32_t played);

signals:
    void listenRequested();
    void answerSubmitted(const QString& typed);
    void stopRequested();
    void optionsChanged(const CopyWindow::Options& options);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void EmitOptions();
    void LimitFarnsworth();

    Chooser* materialChooser = nullptr;
    QSpinBox* wpmBox = nullptr;
    QSpinBox* farnsworthBox = nullptr;
    QSpinBox* countBox = nullptr;
    QCheckBox* autoSpeedBox = nullptr;
    QPushButton* listenButton = nullptr;
    QLineEdit* answerField = nullptr;
    AnnouncedLabel* correction = nullptr;
    AnnouncedLabel* score = nullptr;
};
