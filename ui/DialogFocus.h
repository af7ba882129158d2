#pragma once

#include "ui/KeyDownFilter.h"

#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;
struct DialogTemplate;

// Where the keyboard focus goes when a dialog built from a template takes it: the control that
// had it when the dialog was last deactivated, else the first enabled tab stop in template
// order. Watches the dialog's activation changes for that, and its controls' focus; a child of
// the dialog.
//
// Its keyboard rules, for a dialog that takes typed text: Enter moves the focus on as Tab does
// and presses no button; Space presses a button (or ticks a check box) only when the keyboard,
// Tab or Enter, brought the focus to it, so that a space typed in a text never presses one.
// On a link, Enter opens it. Escape and every other key go where they would go.
class DialogFocus : public QObject {
    Q_OBJECT

public:
    DialogFocus(QDialog& dialog, const DialogTemplate& dialogTemplate);

    // Gives the focus to the dialog, which passes it on to a control as described above.
    void SetFocusToWindow();
    // The first enabled tab stop in template order, or null.
    QWidget* FirstTabStop() const;
    // Gives the focus to control, as a button hands it to its partner (Play to its Stop): the
    // control counts as reached by the keyboard when the one that had the focus did, so that
    // Space goes on working there. Does nothing for a control that is disabled or missing.
    void PassTo(QWidget* control);

    // What the controls get of a key-down, by the rules above; for the dialog's KeyDownFilter.
    KeyDownFilter::Delivery DeliveryOf(const QKeyEvent& keyDown, const QWidget& receiver);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog& dialog;
    const DialogTemplate& dialogTemplate;
    QPointer<QWidget> focusAtDeactivation;
    QPointer<QWidget> reachedByKeyboard; // the control Tab last brought the focus to, while it keeps it
    bool tabbing = false;                // a Tab or Enter key-down is on its way to the controls
};
