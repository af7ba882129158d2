#pragma once

#include "ui/seams/MessageSeam.h"

#include <QStringList>

// Message boxes for tests: nothing is shown, each box is recorded, in order, and counts as
// closed at once.
class RecordingMessageSeam : public MessageSeam {
public:
    void ShowMessage(const QString& caption, const QString& text) override {
        captions.append(caption);
        texts.append(text);
    }

    void Clear() {
        captions.clear();
        texts.clear();
    }

    QStringList captions;
    QStringList texts;
};
