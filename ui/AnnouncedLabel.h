#pragma once

#include "ui/Announcement.h"

#include <QLabel>
#include <QString>

#include <cstdint>

// A static text whose changes a screen reader speaks once, at the moment they happen, while the
// focus is elsewhere: the score of the random dictation, a correction, the end of a run. Every
// result that a sighted user reads off a window without moving the focus goes through one.
//
// Screen readers see the label as a status bar (the role of a live status line) holding one
// notification, named by what was last announced. Each Announce makes the notification show
// anew (an ObjectShow event), which a screen reader speaks at once whatever has the focus: Orca
// speaks the name of a notification that shows, without a role name when the notification sits
// in a status bar. Value and name changes of an object without the focus are not spoken.
class AnnouncedLabel : public QLabel {
    Q_OBJECT

public:
    explicit AnnouncedLabel(QWidget* parent = nullptr);

    // Shows text and has it spoken; spoken, when given, is said in its place (the words a
    // listener needs where the text is laid out for the eye).
    void Announce(const QString& text, const QString& spoken = {});
    // The same, with a value out of a maximum (a score out of the total) that assistive
    // technologies can read from the label.
    void Announce(const QString& text, int32_t value, int32_t maximum, const QString& spoken = {});

    // Shows text and value without a word: for a result that another announcement says with
    // what comes next.
    void Show(const QString& text, int32_t value, int32_t maximum);

    // What the last Announce had spoken (empty before the first).
    const QString& Spoken() const { return announcement->Text(); }
    // How many times something was announced.
    int32_t AnnouncementCount() const { return announcements; }
    const Announcement& Notification() const { return *announcement; }

    int32_t Value() const { return value; }
    int32_t Maximum() const { return maximum; }

private:
    Announcement* announcement; // child of the label
    int32_t announcements = 0;
    int32_t value = 0;
    int32_t maximum = 0;
};
