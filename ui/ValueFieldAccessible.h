#pragma once

#include <QAccessibleTextInterface>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class ValueField;

// What assistive technologies see of a ValueField: a read-only spin button named by its
// accessible name, with the shown number as its value and the field's range and step, and its
// text, without a selection. (A read-only line edit reports itself both editable and read-only,
// and Tab selects its text, which a screen reader then reads out besides the field.)
class ValueFieldAccessible : public QAccessibleWidget,
                             public QAccessibleValueInterface,
                             public QAccessibleTextInterface {
public:
    explicit ValueFieldAccessible(ValueField* field);

    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {} // read-only
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    void selection(int, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override;
    using QAccessibleWidget::text;

    // The factory Qt asks for the interface of each object; installed once by ValueField.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    const ValueField& Field() const;
};
