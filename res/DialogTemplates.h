#pragma once

#include "res/DialogTemplate.h"

#include <cstdint>

// The program's three dialog templates.
const DialogTemplate& MainDialogTemplate();   // 102, the main window "Zelbin"
const DialogTemplate& ConfigDialogTemplate(); // 129, "Configuration"
const DialogTemplate& AboutDialogTemplate();  // 100, "A propos de Zelbin"

// The template with this resource id, or null.
const DialogTemplate* FindDialogTemplate(int32_t templateId);
