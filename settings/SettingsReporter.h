#pragma once

#include <string>

// Where the settings code sends the one message the user must see ("Unable to write
// configuration to the registry"). The main window shows it in a modal box with an OK
// button; tests record it.
class SettingsReporter {
public:
    virtual ~SettingsReporter() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};
