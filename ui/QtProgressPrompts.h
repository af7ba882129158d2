#pragma once

#include "ui/ProgressPrompts.h"

// The progress window's questions as Qt's modal dialogs, on the UI thread.
class QtProgressPrompts : public ProgressPrompts {
public:
    std::optional<QString> AskSavePath(QWidget* parent, const QString& suggestedName) override;
    bool Confirm(QWidget* parent, const QString& question) override;
    void Inform(QWidget* parent, const QString& text) override;
};
