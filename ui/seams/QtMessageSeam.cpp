#include "ui/seams/QtMessageSeam.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageSeam::ShowMessage(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
