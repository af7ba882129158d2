#pragma once

#include <QAccessibleTextInterface>
#include <QAccessibleWidget>

// A widget that shows one line of text its user does not edit, to assistive technologies: the
// widget's interface with a text interface over Text(), without a selection or a caret to move.
// Screen readers read such a control's value from its text (Orca: a combo box's or a spin
// button's displayed text).
class ReadOnlyTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    ReadOnlyTextAccessible(QWidget* widget, QAccessible::Role role);

    // The text shown.
    virtual QString Text() const = 0;

    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    using QAccessibleWidget::text;
};
