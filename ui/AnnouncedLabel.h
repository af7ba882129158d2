#pragma once

#include <QLabel>

#include <cstdint>

// A static text whose changes a screen reader is told of although the focus is elsewhere, as
// the score of the random dictation: besides its text, it holds a value out of a maximum (the
// score out of the total), and every Announce sends a QAccessibleValueChangeEvent, which
// assistive technologies receive as a change of the value (AnnouncedLabelAccessible).
class AnnouncedLabel : public QLabel {
    Q_OBJECT

public:
    explicit AnnouncedLabel(QWidget* parent = nullptr);

    // Shows text and announces value out of maximum.
    void Announce(const QString& text, int32_t value, int32_t maximum);

    int32_t Value() const { return value; }
    int32_t Maximum() const { return maximum; }

private:
    int32_t value = 0;
    int32_t maximum = 0;
};
