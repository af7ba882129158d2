#pragma once

#include <QFile>
#include <QString>

#include <filesystem>
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

    // A chosen path as the platform's file functions take it: UTF-16 on Windows, the local
    // 8-bit encoding (UTF-8) elsewhere.
    static std::filesystem::path ToFilesystemPath(const QString& path) {
#ifdef Q_OS_WIN
        return std::filesystem::path(path.toStdWString());
#else
        return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
    }
};
