#pragma once

#include "settings/SettingsReporter.h"

class MessageSeam;

// Shows the settings' one message ("Unable to write configuration to the registry") in a
// message box under the application's title.
class SettingsMessageReporter : public SettingsReporter {
public:
    explicit SettingsMessageReporter(MessageSeam& messages);
    void ShowMessage(const std::string& text) override;

private:
    MessageSeam& messages;
};
