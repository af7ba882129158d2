#include "ui/AnnouncementAccessible.h"

#include "ui/AnnouncedLabel.h"

#include <QWindow>

AnnouncementAccessible::AnnouncementAccessible(Announcement* announcement) : QAccessibleObject(announcement) {}

const Announcement& AnnouncementAccessible::Said() const {
    return *static_cast<const Announcement*>(object());
}

AnnouncedLabel& AnnouncementAccessible::Label() const {
    return *static_cast<AnnouncedLabel*>(object()->parent());
}

QAccessibleInterface* AnnouncementAccessible::parent() const {
    return QAccessible::queryAccessibleInterface(&Label());
}

QString AnnouncementAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? Said().Text() : QString();
}

QRect AnnouncementAccessible::rect() const {
    const AnnouncedLabel& label = Label();
    return QRect(label.mapToGlobal(QPoint(0, 0)), label.size());
}

QWindow* AnnouncementAccessible::window() const {
    return Label().window()->windowHandle();
}

// Read-only, and showing while its label shows: a screen reader ignores objects without states.
QAccessible::State AnnouncementAccessible::state() const {
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !Label().isVisible();
    return state;
}
