#pragma once

#include <cstdint>

// Identifies one report raised on the audio thread; whoever shows its box calls Closed once
// the user has closed it. A plain value: copy it freely, call Closed from any thread, at any
// time (also after the driver is gone).
struct ErrorReportTicket {
    uint64_t id = 0;
    void Closed() const;
};

// Where a sound driver's failures go. The window layer installs one that shows a modal
// message box; until then the drivers use DefaultErrorReporter, which writes
// "caption: text" to stderr.
class DriverErrorReporter {
public:
    DriverErrorReporter() = default;
    DriverErrorReporter(const DriverErrorReporter&) = delete;
    DriverErrorReporter& operator=(const DriverErrorReporter&) = delete;
    virtual ~DriverErrorReporter();

    // Shows text under caption and returns once the user has closed it. Called on the
    // driver owner's thread (the UI thread), for failures of Open, Close and the position.
    virtual void ReportError(const char* caption, const char* text) = 0;

    // Called on the driver's audio thread. Shows the same message and calls ticket.Closed()
    // once the user has closed it. An implementation that must show the box on another
    // thread hands it over and returns at once: the audio thread then waits for the ticket,
    // or for a stop of the driver, whichever comes first. The default calls ReportError here
    // and closes the ticket, which suits reporters that never wait for another thread.
    // caption and text are string constants that live as long as the process.
    virtual void PostError(const char* caption, const char* text, ErrorReportTicket ticket);
};

// Writes "caption: text" and a line feed to stderr.
DriverErrorReporter& DefaultErrorReporter();
