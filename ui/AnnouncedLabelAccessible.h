#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

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
