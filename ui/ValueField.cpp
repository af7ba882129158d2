#include "ui/ValueField.h"

#include "ui/ValueFieldAccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>

ValueField::ValueField(QWidget* parent) : QLineEdit(parent) {
    // Before any interface of such a field is asked for.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&ValueFieldAccessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void ValueField::SetRange(double newLowest, double newHighest, double newStep) {
    lowest = newLowest;
    highest = newHighest;
    step = newStep;
}

void ValueField::Show(double newValue, const QString& text) {
    value = newValue;
    setText(text);
    QAccessibleValueChangeEvent changed(this, value);
    QAccessible::updateAccessibility(&changed);
}

// Tab does not select the text: there is nothing to type over, and a screen reader would read
// the selection out before the field.
void ValueField::focusInEvent(QFocusEvent* event) {
    QFocusEvent withoutSelection(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&withoutSelection);
}

void ValueField::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Up:
            emit stepRequested(+1, false);
            return;
        case Qt::Key_Down:
            emit stepRequested(-1, false);
            return;
        case Qt::Key_PageUp:
            emit stepRequested(+1, true);
            return;
        case Qt::Key_PageDown:
            emit stepRequested(-1, true);
            return;
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(event);
}
