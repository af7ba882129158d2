#pragma once

#include "audio/DriverErrorReporter.h"

class MessageSeam;
class QObject;

// Shows the sound driver's failures ("waveOutOpen() failed" under "WaveOut driver") in
// message boxes, always on the UI thread. A failure raised on the UI thread is shown there
// and then. One raised on the audio thread is handed over to the UI thread's event loop and
// this returns at once; the box is shown when the UI thread next handles its events and its
// ticket is closed when the user has closed it. The audio thread meanwhile waits for the
// ticket or for a stop, as the driver arranges, so a Stop on the UI thread never waits for a
// box that only the UI thread could show.
class DriverMessageReporter : public DriverErrorReporter {
public:
    // uiContext lives on the UI thread and must outlive the driver that reports here;
    // reports still queued when it is destroyed are dropped.
    DriverMessageReporter(MessageSeam& messages, QObject& uiContext);

    void ReportError(const char* caption, const char* text) override;
    void PostError(const char* caption, const char* text, ErrorReportTicket ticket) override;

private:
    MessageSeam& messages;
    QObject& uiContext;
};
