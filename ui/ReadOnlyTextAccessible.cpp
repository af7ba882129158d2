#include "ui/ReadOnlyTextAccessible.h"

ReadOnlyTextAccessible::ReadOnlyTextAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

void* ReadOnlyTextAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

void ReadOnlyTextAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

QString ReadOnlyTextAccessible::text(int startOffset, int endOffset) const {
    return Text().mid(startOffset, endOffset - startOffset);
}

int ReadOnlyTextAccessible::characterCount() const {
    return static_cast<int>(Text().size());
}

QString ReadOnlyTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}
