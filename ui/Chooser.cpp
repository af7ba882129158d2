#include "ui/Chooser.h"

#include "ui/AnnouncedLabel.h"
#include "ui/ChooserAccessible.h"

#include <QAccessible>

Chooser::Chooser(const QString& name, QWidget* parent) : QComboBox(parent) {
    // Before any interface of such a choice is asked for.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&ChooserAccessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAccessibleName(name);
    voice = new AnnouncedLabel(this);
    voice->setObjectName(QStringLiteral("voice"));
    voice->hide();
}

void Chooser::SayValue(const QString& more) {
    voice->Announce(QString(), more.isEmpty() ? currentText() : currentText() + QStringLiteral(" ; ") + more);
}
