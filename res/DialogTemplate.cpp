#include "res/DialogTemplate.h"

#include "res/ResourceIds.h"

const ControlTemplate* DialogTemplate::Find(int32_t controlId) const {
    if (controlId == ResourceId::kNoId) {
        return nullptr;
    }
    for (const ControlTemplate& item : items) {
        if (item.id == controlId) {
            return &item;
        }
    }
    return nullptr;
}

const char* DialogTemplate::AccessibleNameOf(int32_t controlId) const {
    for (const AccessibleName& entry : accessibleNames) {
        if (entry.id == controlId) {
            return entry.name;
        }
    }
    return nullptr;
}
