#pragma once

// WaveOutDriver for files that also include Qt: the driver names a member `slots`, which
// Qt defines as a macro of its own, so the macro is set aside while the driver's header is read.
#pragma push_macro("slots")
#undef slots
#include "audio/WaveOutDriver.h"
#pragma pop_macro("slots")
