#pragma once

#include <QString>

// The title of the application: the caption of its own message boxes.
inline constexpr const char* kApplicationTitle = "Zelbin";

// Every message box of the program goes through one of these. The program uses QtMessageSeam,
// a modal box with an OK button; tests use RecordingMessageSeam, which records the texts.
// Called on the UI thread only.
class MessageSeam {
public:
    virtual ~MessageSeam() = default;

    // Shows text under caption and returns once the user has closed the box.
    virtual void ShowMessage(const QString& caption, const QString& text) = 0;

    // A message of the program itself, under the application's title.
    void Show(const QString& text) { ShowMessage(QString::fromUtf8(kApplicationTitle), text); }
};
