#pragma once

#include "ui/ProgressPrompts.h"

#include <QStringList>

// The progress window's questions for tests: nothing is shown; the save dialog returns
// nextPath (cancels when empty), Confirm answers confirmAnswer, and every text is recorded.
class FakeProgressPrompts : public ProgressPrompts {
public:
    std::optional<QString> AskSavePath(QWidget*, const QString& suggestedName) override {
        suggestedNames.append(suggestedName);
        return nextPath;
    }
    bool Confirm(QWidget*, const QString& question) override {
        questions.append(question);
        return confirmAnswer;
    }
    void Inform(QWidget*, const QString& text) override { messages.append(text); }

    std::optional<QString> nextPath;
    bool confirmAnswer = false;
    QStringList suggestedNames;
    QStringList questions;
    QStringList messages;
};
