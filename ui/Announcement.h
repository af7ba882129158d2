#pragma once

#include <QObject>
#include <QString>

// What an AnnouncedLabel says: an object without a widget of its own, which assistive
// technologies see as a notification inside the label (AnnouncementAccessible).
class Announcement : public QObject {
    Q_OBJECT

public:
    explicit Announcement(QObject* parent) : QObject(parent) {}

    const QString& Text() const { return text; }
    void SetText(const QString& spoken) { text = spoken; }

private:
    QString text;
};
