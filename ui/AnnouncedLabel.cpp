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
    announcement = new Announcement(this);
    announcement->setObjectName(QStringLiteral("announcement"));
}

void AnnouncedLabel::Announce(const QString& text, const QString& spoken) {
    Announce(text, value, maximum, spoken);
}

void AnnouncedLabel::Announce(const QString& text, int32_t newValue, int32_t newMaximum, const QString& spoken) {
    value = newValue;
    maximum = newMaximum;
    setText(text);
    announcement->SetText(spoken.isEmpty() ? text : spoken);
    ++announcements;
    QAccessibleEvent shown(announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void AnnouncedLabel::Show(const QString& text, int32_t newValue, int32_t newMaximum) {
    value = newValue;
    maximum = newMaximum;
    setText(text);
}
