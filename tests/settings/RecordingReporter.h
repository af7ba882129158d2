#pragma once

#include "settings/SettingsReporter.h"

#include <string>
#include <vector>

// A SettingsReporter for tests: keeps every message in order.
class RecordingReporter : public SettingsReporter {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> messages;
};
