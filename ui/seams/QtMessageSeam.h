#pragma once

#include "ui/seams/MessageSeam.h"

// Message boxes on screen: modal over the whole application, no icon, one OK button.
class QtMessageSeam : public MessageSeam {
public:
    void ShowMessage(const QString& caption, const QString& text) override;
};
