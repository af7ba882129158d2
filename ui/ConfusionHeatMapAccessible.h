#pragma once

#include <QAccessible>
#include <QAccessibleWidget>

#include <vector>

class ConfusionHeatMap;

// What assistive technologies see of a ConfusionHeatMap: a list named "Confusions" whose items
// are its cells, row by row (played K, typed K first), each a ConfusionCellAccessible; the
// cell the arrow keys reached is its focused item.
class ConfusionHeatMapAccessible : public QAccessibleWidget {
public:
    explicit ConfusionHeatMapAccessible(ConfusionHeatMap* map);
    ~ConfusionHeatMapAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // The factory Qt asks for the interface of each object; installed once by ConfusionHeatMap.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    ConfusionHeatMap& Map() const;

    mutable std::vector<QAccessible::Id> cells; // made when first asked for, 0 until then
};
