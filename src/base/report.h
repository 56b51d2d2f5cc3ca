// report.h: the one place where the program's messages and the tools'
// output leave it. Parsers collect their messages in a Messages list instead
// of printing, so tests and fuzzers see exactly the bytes a player would see
// on stderr.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using Messages = std::vector<std::string>;

// printf-style formatting into a std::string.
std::string format_message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes one message through the sink (standard error unless a test swapped it).
void report(std::string_view message);
void report_all(const Messages& messages);

// Writes a program's normal output, its answer rather than a message about
// how things went, to standard output.
void report_output(std::string_view text);

using ReportSink = void (*)(std::string_view message);
// Installs a sink; nullptr restores standard error. Returns the previous sink.
ReportSink set_report_sink(ReportSink sink);
