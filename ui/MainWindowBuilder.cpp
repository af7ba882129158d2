#include "ui/MainWindowBuilder.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/AnnouncedLabel.h"
#include "ui/LinkLabel.h"
#include "ui/TemplateBuilder.h"

#include <QDialog>

void MainWindowBuilder::Build(QDialog& window) {
    TemplateBuilder builder(MainDialogTemplate());
    builder.Bind(MainControl::kLink,
                 [](const ControlTemplate&, QWidget* parent) -> QWidget* { return new LinkLabel(parent); });
    builder.Bind(MainControl::kScore,
                 [](const ControlTemplate&, QWidget* parent) -> QWidget* { return new AnnouncedLabel(parent); });
    builder.Build(window);
}
