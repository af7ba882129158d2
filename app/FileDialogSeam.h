#pragma once

#include <QString>

#include <optional>

class QWidget;

// The open-file dialog of the file dictation. The program uses QtFileDialogSeam; tests use
// FakeFileDialogSeam, which returns a given path or cancels without showing anything.
class FileDialogSeam {
public:
    virtual ~FileDialogSeam() = default;

    // Runs the dialog modally over parent. Returns the chosen path, or nothing when the user
    // cancelled. With several files chosen, the path is the folder that holds them.
    virtual std::optional<QString> GetOpenPath(QWidget* parent) = 0;
};
