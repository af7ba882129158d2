#pragma once

#include "ui/seams/UrlOpener.h"

#include <QStringList>

// Records the addresses a link asks to open, instead of starting a browser.
class RecordingUrlOpener : public UrlOpener {
public:
    void Open(const QString& address) override { opened.append(address); }

    QStringList opened;
};
