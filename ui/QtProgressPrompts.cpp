#include "ui/QtProgressPrompts.h"

#include "ui/KeyboardOwner.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

const char* const kCaption = "Zelbin";

} // namespace

std::optional<QString> QtProgressPrompts::AskSavePath(QWidget* parent, const QString& suggestedName) {
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Exporter l'historique"),
                                                      QDir::home().filePath(suggestedName),
                                                      QStringLiteral("Fichiers CSV (*.csv);;Tous les fichiers (*)"));
    KeyboardOwner::Reclaim(parent);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

bool QtProgressPrompts::Confirm(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QString::fromUtf8(kCaption), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtProgressPrompts::Inform(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QString::fromUtf8(kCaption), text);
}
