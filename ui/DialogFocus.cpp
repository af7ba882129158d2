#include "ui/DialogFocus.h"

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"
#include "ui/LinkLabel.h"
#include "ui/TemplateBuilder.h"

#include "ui/VirtualKey.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFocusEvent>
#include <QKeyEvent>

DialogFocus::DialogFocus(QDialog& dialog, const DialogTemplate& dialogTemplate)
    : QObject(&dialog), dialog(dialog), dialogTemplate(dialogTemplate) {
    dialog.installEventFilter(this);
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }
}

void DialogFocus::SetFocusToWindow() {
    QWidget* target = focusAtDeactivation.data();
    if (target == nullptr || !target->isEnabled() || !target->isVisibleTo(&dialog)) {
        target = FirstTabStop();
    }
    if (target != nullptr) {
        target->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* DialogFocus::FirstTabStop() const {
    for (const ControlTemplate& item : dialogTemplate.items) {
        if ((item.style & kTabStop) == 0 || item.id == ResourceId::kNoId) {
            continue;
        }
        QWidget* control = TemplateBuilder::FindControl(dialog, item.id);
        if (control != nullptr && control->isEnabled()) {
            return control;
        }
    }
    return nullptr;
}

void DialogFocus::PassTo(QWidget* control) {
    if (control == nullptr || !control->isEnabled()) {
        return;
    }
    QWidget* current = dialog.focusWidget();
    const bool byKeyboard = current != nullptr && current == reachedByKeyboard.data();
    control->setFocus(Qt::OtherFocusReason);
    if (byKeyboard) {
        reachedByKeyboard = control;
    }
}

KeyDownFilter::Delivery DialogFocus::DeliveryOf(const QKeyEvent& keyDown, const QWidget& receiver) {
    const uint32_t key = VirtualKey::Of(keyDown);
    tabbing = key == VirtualKey::kTab || key == VirtualKey::kReturn;
    if (key == VirtualKey::kReturn && qobject_cast<const LinkLabel*>(&receiver) == nullptr) {
        return KeyDownFilter::Delivery::Replaced(VirtualKey::AsTab(keyDown));
    }
    if (key == VirtualKey::kSpace && qobject_cast<const QAbstractButton*>(&receiver) != nullptr &&
        &receiver != reachedByKeyboard.data()) {
        return KeyDownFilter::Delivery::Dropped();
    }
    return KeyDownFilter::Delivery::AsIs();
}

bool DialogFocus::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &dialog && event->type() == QEvent::ActivationChange && !dialog.isActiveWindow()) {
        focusAtDeactivation = dialog.focusWidget();
    }
    if (watched != &dialog && event->type() == QEvent::FocusIn) {
        // A Tab key (or Enter) reaches a control; coming back with the window keeps it reached;
        // any other way in (start-up, a click, a handler) does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* control = static_cast<QWidget*>(watched);
        if (tabbing && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)) {
            reachedByKeyboard = control;
            tabbing = false;
        } else if (reason != Qt::ActiveWindowFocusReason || control != reachedByKeyboard.data()) {
            reachedByKeyboard = nullptr;
        }
    }
    return false;
}
