#pragma once

#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;
struct DialogTemplate;

// Where the keyboard focus goes when a dialog built from a template takes it: the control that
// had it when the dialog was last deactivated, else the first enabled tab stop in template
// order. Watches the dialog's activation changes for that; a child of the dialog.
class DialogFocus : public QObject {
    Q_OBJECT

public:
    DialogFocus(QDialog& dialog, const DialogTemplate& dialogTemplate);

    // Gives the focus to the dialog, which passes it on to a control as described above.
    void SetFocusToWindow();
    // The first enabled tab stop in template order, or null.
    QWidget* FirstTabStop() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog& dialog;
    const DialogTemplate& dialogTemplate;
    QPointer<QWidget> focusAtDeactivation;
};
