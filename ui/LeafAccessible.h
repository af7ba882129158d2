#pragma once

#include <QAccessibleInterface>

// An accessible element without children whose text assistive technologies cannot change:
// a menu item, a cell of a map. The element itself names, places and describes itself.
class LeafAccessible : public QAccessibleInterface {
public:
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
};
