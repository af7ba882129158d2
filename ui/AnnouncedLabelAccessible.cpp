#include "ui/AnnouncedLabelAccessible.h"

#include "ui/AnnouncedLabel.h"
#include "ui/AnnouncementAccessible.h"

#include <QDialog>
#include <QWidget>

AnnouncedLabelAccessible::AnnouncedLabelAccessible(AnnouncedLabel* label)
    : QAccessibleWidget(label, QAccessible::StatusBar) {}

const AnnouncedLabel& AnnouncedLabelAccessible::Label() const {
    return *static_cast<const AnnouncedLabel*>(widget());
}

QString AnnouncedLabelAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        return Label().Spoken().isEmpty() ? Label().text() : Label().Spoken();
    }
    return QAccessibleWidget::text(t);
}

void* AnnouncedLabelAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

// The notification comes after the label's child widgets, if it has any.
int AnnouncedLabelAccessible::childCount() const {
    return QAccessibleWidget::childCount() + 1;
}

QAccessibleInterface* AnnouncedLabelAccessible::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    if (index == widgets) {
        return QAccessible::queryAccessibleInterface(const_cast<Announcement*>(&Label().Notification()));
    }
    return QAccessibleWidget::child(index);
}

int AnnouncedLabelAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child != nullptr && child->object() == &Label().Notification()) {
        return QAccessibleWidget::childCount();
    }
    return QAccessibleWidget::indexOfChild(child);
}

QVariant AnnouncedLabelAccessible::currentValue() const {
    return Label().Value();
}

void AnnouncedLabelAccessible::setCurrentValue(const QVariant&) {}

QVariant AnnouncedLabelAccessible::maximumValue() const {
    return Label().Maximum();
}

QVariant AnnouncedLabelAccessible::minimumValue() const {
    return 0;
}

QVariant AnnouncedLabelAccessible::minimumStepSize() const {
    return 1;
}

QAccessibleInterface* AnnouncedLabelAccessible::Factory(const QString& className, QObject* object) {
    if (object == nullptr) {
        return nullptr;
    }
    // A dialog window that announces is a frame: screen readers say the names of the dialogs
    // around a notification before it (Orca: "Zelbin dialog" before every score), not those of
    // frames.
    if (object->isWidgetType() && className == QLatin1String(object->metaObject()->className())) {
        auto* window = static_cast<QWidget*>(object);
        if (window->isWindow() && qobject_cast<QDialog*>(window) != nullptr &&
            window->findChild<AnnouncedLabel*>() != nullptr) {
            return new QAccessibleWidget(window, QAccessible::Border);
        }
    }
    if (className == QLatin1String("AnnouncedLabel") && object->isWidgetType()) {
        return new AnnouncedLabelAccessible(static_cast<AnnouncedLabel*>(object));
    }
    if (className == QLatin1String("Announcement")) {
        return new AnnouncementAccessible(static_cast<Announcement*>(object));
    }
    return nullptr;
}
