#include "ui/AnnouncedLabel.h"

#include "ui/AnnouncedLabelAccessible.h"

#include <QAccessible>

AnnouncedLabel::AnnouncedLabel(QWidget* parent) : QLabel(parent) {
    // Before any interface of such a label is asked for.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&AnnouncedLabelAccessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void AnnouncedLabel::Announce(const QString& text, int32_t newValue, int32_t newMaximum) {
    value = newValue;
    maximum = newMaximum;
    setText(text);
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
}
