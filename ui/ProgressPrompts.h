#pragma once

#include <QString>

#include <optional>

class QWidget;

// The questions the progress window asks: where to save the export, whether to clear the
// history, and what went wrong. The program uses QtProgressPrompts (modal dialogs); tests use a
// double that answers at once, so that nothing blocks.
class ProgressPrompts {
public:
    virtual ~ProgressPrompts() = default;

    // A save-file dialog over parent, proposing suggestedName; nothing when the user cancels.
    virtual std::optional<QString> AskSavePath(QWidget* parent, const QString& suggestedName) = 0;

    // A Yes/No question over parent, No by default; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& question) = 0;

    // A message with an OK button over parent.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
};
