#include "res/StringTable.h"

#include "res/ResourceIds.h"

const char* LoadResourceString(int32_t stringId) {
    switch (stringId) {
    case ResourceId::kAboutMenuString:
        return "&A propos de Zelbin...";
    default:
        return "";
    }
}
