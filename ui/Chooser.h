#pragma once

#include <QComboBox>

class AnnouncedLabel;

// A drop-down choice that screen readers hear with its name and its value ("Période combo box,
// Tout"), and whose new value is said when the keyboard changes it, where the focus stays
// (ChooserAccessible; the value changes of a plain combo box go unsaid). After the value, a
// window may have more said (SayAfterChange), such as the figures the choice brings.
class Chooser : public QComboBox {
    Q_OBJECT

public:
    // name: what the choice is, as its label says it ("Période").
    Chooser(const QString& name, QWidget* parent = nullptr);

    // Says "<value>" and, after it, more (when not empty); for a slot of currentIndexChanged.
    void SayValue(const QString& more = {});

private:
    AnnouncedLabel* voice; // never shown
};
