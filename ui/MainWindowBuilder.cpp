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
    for (const int32_t announced : {MainControl::kScore, MainControl::kKeyboardText, MainControl::kDictationText}) {
        builder.Bind(announced,
                     [](const ControlTemplate&, QWidget* parent) -> QWidget* { return new AnnouncedLabel(parent); });
    }
    builder.Build(window);
}
