#pragma once

#include <QAccessibleObject>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class Announcement;
class AnnouncedLabel;

// What assistive technologies see of an AnnouncedLabel: a status bar named by what it last
// announced (else by its text), with a read-only value from 0 to its maximum (a score out of
// the total), and one child, the notification that each announcement shows.
class AnnouncedLabelAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AnnouncedLabelAccessible(AnnouncedLabel* label);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override; // read-only: does nothing
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // The factory Qt asks for the interfaces of labels, announcements and the dialog windows
    // that hold them (frames to assistive technologies); installed once by AnnouncedLabel.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    const AnnouncedLabel& Label() const;
};

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
