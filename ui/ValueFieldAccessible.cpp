#include "ui/ValueFieldAccessible.h"

#include "ui/ValueField.h"

#include <QFontMetrics>

ValueFieldAccessible::ValueFieldAccessible(ValueField* field) : QAccessibleWidget(field, QAccessible::SpinBox) {}

const ValueField& ValueFieldAccessible::Field() const {
    return *static_cast<const ValueField*>(widget());
}

QAccessible::State ValueFieldAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.editable = false;
    return state;
}

void* ValueFieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QVariant ValueFieldAccessible::currentValue() const {
    return Field().Value();
}

QVariant ValueFieldAccessible::maximumValue() const {
    return Field().Highest();
}

QVariant ValueFieldAccessible::minimumValue() const {
    return Field().Lowest();
}

QVariant ValueFieldAccessible::minimumStepSize() const {
    return Field().Step();
}

void ValueFieldAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

int ValueFieldAccessible::cursorPosition() const {
    return Field().cursorPosition();
}

QString ValueFieldAccessible::text(int startOffset, int endOffset) const {
    return Field().text().mid(startOffset, endOffset - startOffset);
}

int ValueFieldAccessible::characterCount() const {
    return static_cast<int>(Field().text().size());
}

QRect ValueFieldAccessible::characterRect(int offset) const {
    const QString text = Field().text();
    if (offset < 0 || offset >= text.size()) {
        return {};
    }
    const QFontMetrics metrics(Field().font());
    const QRect inside = Field().contentsRect();
    const int left = inside.left() + metrics.horizontalAdvance(text.left(offset));
    const QRect local(left, inside.top(), metrics.horizontalAdvance(text.at(offset)), inside.height());
    return QRect(Field().mapToGlobal(local.topLeft()), local.size());
}

QString ValueFieldAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

QAccessibleInterface* ValueFieldAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("ValueField") && object != nullptr && object->isWidgetType()) {
        return new ValueFieldAccessible(static_cast<ValueField*>(object));
    }
    return nullptr;
}
