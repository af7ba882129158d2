#include "audio/SidetoneDevice.h"

SidetoneDevice::~SidetoneDevice() = default;
