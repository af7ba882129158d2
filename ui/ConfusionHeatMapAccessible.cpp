#include "ui/ConfusionHeatMapAccessible.h"

#include "ui/ConfusionCellAccessible.h"
#include "ui/ConfusionHeatMap.h"

namespace {
constexpr int kCount = ProgressStats::kCharacterCount;
} // namespace

ConfusionHeatMapAccessible::ConfusionHeatMapAccessible(ConfusionHeatMap* map)
    : QAccessibleWidget(map, QAccessible::List), cells(static_cast<size_t>(kCount * kCount), 0) {}

ConfusionHeatMapAccessible::~ConfusionHeatMapAccessible() {
    for (const QAccessible::Id id : cells) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

ConfusionHeatMap& ConfusionHeatMapAccessible::Map() const {
    return *static_cast<ConfusionHeatMap*>(widget());
}

QString ConfusionHeatMapAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        return QStringLiteral("Confusions");
    }
    return QAccessibleWidget::text(t);
}

int ConfusionHeatMapAccessible::childCount() const {
    return kCount * kCount;
}

QAccessibleInterface* ConfusionHeatMapAccessible::child(int index) const {
    if (index < 0 || index >= kCount * kCount) {
        return nullptr;
    }
    QAccessible::Id& id = cells[static_cast<size_t>(index)];
    if (id == 0) {
        id = QAccessible::registerAccessibleInterface(new ConfusionCellAccessible(&Map(), index));
    }
    return QAccessible::accessibleInterface(id);
}

int ConfusionHeatMapAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const ConfusionCellAccessible*>(child);
    return cell != nullptr ? cell->Index() : -1;
}

QAccessibleInterface* ConfusionHeatMapAccessible::focusChild() const {
    if (!Map().hasFocus()) {
        return nullptr;
    }
    const auto [played, typed] = Map().CurrentCell();
    return child(played * kCount + typed);
}

QAccessibleInterface* ConfusionHeatMapAccessible::childAt(int x, int y) const {
    const auto [played, typed] = Map().CellAt(Map().mapFromGlobal(QPoint(x, y)));
    return played < 0 ? nullptr : child(played * kCount + typed);
}

QAccessibleInterface* ConfusionHeatMapAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("ConfusionHeatMap") && object != nullptr && object->isWidgetType()) {
        return new ConfusionHeatMapAccessible(static_cast<ConfusionHeatMap*>(object));
    }
    return nullptr;
}
