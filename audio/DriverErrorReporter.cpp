#include "audio/DriverErrorReporter.h"

#include "audio/ErrorBoxGate.h"

#include <cstdio>

void ErrorReportTicket::Closed() const {
    ErrorBoxGate::Instance().Closed(id);
}

DriverErrorReporter::~DriverErrorReporter() = default;

void DriverErrorReporter::PostError(const char* caption, const char* text, ErrorReportTicket ticket) {
    ReportError(caption, text);
    ticket.Closed();
}

namespace {
class StderrErrorReporter : public DriverErrorReporter {
public:
    void ReportError(const char* caption, const char* text) override {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
};
} // namespace

DriverErrorReporter& DefaultErrorReporter() {
    static StderrErrorReporter reporter;
    return reporter;
}
