#pragma once

#include "ui/LeafAccessible.h"

#include <QPointer>

class ConfusionHeatMap;

// One cell of a ConfusionHeatMap to assistive technologies: an item of the map's list, named
// "Q joué, Y tapé : 12 fois", focused while it is the map's current cell and the map has the
// focus.
class ConfusionCellAccessible : public LeafAccessible {
public:
    ConfusionCellAccessible(ConfusionHeatMap* map, int index);

    int Index() const { return index; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    int Played() const;
    int Typed() const;

    QPointer<ConfusionHeatMap> map;
    int index; // played * 36 + typed
};
