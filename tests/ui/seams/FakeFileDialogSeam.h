#pragma once

#include "ui/seams/FileDialogSeam.h"

// The open-file dialog for tests: returns nextPath, or cancels when it holds nothing.
class FakeFileDialogSeam : public FileDialogSeam {
public:
    std::optional<QString> GetOpenPath(QWidget* parent) override {
        ++calls;
        lastParent = parent;
        return nextPath;
    }

    std::optional<QString> nextPath;
    int calls = 0;
    QWidget* lastParent = nullptr;
};
