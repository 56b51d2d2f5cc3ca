// report.cpp: formatting, the standard-error sink and standard output.
#include "base/report.h"

#include <cstdarg>
#include <cstdio>

namespace {

void write_to_stderr(std::string_view message) {
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fflush(stderr);
}

ReportSink report_sink = write_to_stderr;

}  // namespace

std::string format_message(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

void report(std::string_view message) { report_sink(message); }

void report_output(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void report_all(const Messages& messages) {
    for (const std::string& message : messages) report(message);
}

ReportSink set_report_sink(ReportSink sink) {
    ReportSink previous = report_sink;
    report_sink = sink ? sink : write_to_stderr;
    return previous;
}
