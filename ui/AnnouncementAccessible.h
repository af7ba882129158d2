#pragma once

#include <QAccessibleObject>

class AnnouncedLabel;
class Announcement;

// The notification of an AnnouncedLabel: named by what it says, inside the label, where it is.
class AnnouncementAccessible : public QAccessibleObject {
public:
    explicit AnnouncementAccessible(Announcement* announcement);

    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QWindow* window() const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override;

private:
    const Announcement& Said() const;
    AnnouncedLabel& Label() const;
};
