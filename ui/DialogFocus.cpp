#include "ui/DialogFocus.h"

#include "res/DialogTemplate.h"
#include "res/ResourceIds.h"
#include "ui/TemplateBuilder.h"

#include <QDialog>
#include <QEvent>

DialogFocus::DialogFocus(QDialog& dialog, const DialogTemplate& dialogTemplate)
    : QObject(&dialog), dialog(dialog), dialogTemplate(dialogTemplate) {
    dialog.installEventFilter(this);
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

bool DialogFocus::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &dialog && event->type() == QEvent::ActivationChange && !dialog.isActiveWindow()) {
        focusAtDeactivation = dialog.focusWidget();
    }
    return false;
}
