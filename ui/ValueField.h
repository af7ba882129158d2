#pragma once

#include <QLineEdit>

// A read-only number field of the configuration dialog, stepped by the buttons beside it and,
// once Tab has reached it, by the keyboard: Up and Down take a small step, Page Up and Page Down
// a large one (the field asks; the dialog steps the value within its range and shows it).
// Screen readers see a spin button named by its label, whose value is the number shown
// (ValueFieldAccessible): it reads once, as "Fréquence en Hertz 440.00 spin button".
class ValueField : public QLineEdit {
    Q_OBJECT

public:
    explicit ValueField(QWidget* parent = nullptr);

    // The range and the small step of the value, for assistive technologies.
    void SetRange(double lowest, double highest, double step);
    // Shows value as text.
    void Show(double value, const QString& text);

    double Value() const { return value; }
    double Lowest() const { return lowest; }
    double Highest() const { return highest; }
    double Step() const { return step; }

signals:
    void stepRequested(int direction, bool large); // direction: +1 up, -1 down

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double value = 0.0;
    double lowest = 0.0;
    double highest = 0.0;
    double step = 1.0;
};
