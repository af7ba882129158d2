#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class ConfusionHeatMap;

// One cell of a ConfusionHeatMap to assistive technologies: an item of the map's list, named
// "Q joué, Y tapé : 12 fois", focused while it is the map's current cell and the map has the
// focus.
class ConfusionCellAccessible : public QAccessibleInterface {
public:
    ConfusionCellAccessible(ConfusionHeatMap* map, int index);

    int Index() const { return index; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    int Played() const;
    int Typed() const;

    QPointer<ConfusionHeatMap> map;
    int index; // played * 36 + typed
};
