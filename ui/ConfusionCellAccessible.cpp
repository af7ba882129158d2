#include "ui/ConfusionCellAccessible.h"

#include "ui/ConfusionHeatMap.h"

#include <QWindow>

namespace {
constexpr int kCount = ProgressStats::kCharacterCount;
} // namespace

ConfusionCellAccessible::ConfusionCellAccessible(ConfusionHeatMap* map, int index) : map(map), index(index) {}

int ConfusionCellAccessible::Played() const {
    return index / kCount;
}

int ConfusionCellAccessible::Typed() const {
    return index % kCount;
}

bool ConfusionCellAccessible::isValid() const {
    return map != nullptr;
}

QWindow* ConfusionCellAccessible::window() const {
    return map != nullptr ? map->window()->windowHandle() : nullptr;
}

QAccessibleInterface* ConfusionCellAccessible::parent() const {
    return map != nullptr ? QAccessible::queryAccessibleInterface(map) : nullptr;
}

QString ConfusionCellAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name && map != nullptr ? map->CellText(Played(), Typed()) : QString();
}

QRect ConfusionCellAccessible::rect() const {
    if (map == nullptr) {
        return {};
    }
    const QRect cell = map->CellRect(Played(), Typed());
    return QRect(map->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::State ConfusionCellAccessible::state() const {
    QAccessible::State state;
    if (map == nullptr) {
        state.invalid = true;
        return state;
    }
    state.focusable = true;
    state.selectable = true;
    state.readOnly = true;
    const bool current = map->CurrentCell() == std::pair<int, int>(Played(), Typed());
    state.focused = current && map->hasFocus();
    state.selected = current;
    state.invisible = !map->isVisible();
    return state;
}
