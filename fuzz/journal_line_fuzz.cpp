// journal_line_fuzz.cpp: any bytes read as a journal. Every line taken must
// write back to a line that reads as the same record, and replaying it
// through the rules must stay inside the board whatever its moves say.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "journal/journal_line.h"
#include "journal/journal_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Messages messages;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const JournalRecord& record : read_journal(text, messages)) {
        const std::string line = format_journal_line(record);
        JournalRecord again;
        Messages none;
        if (parse_journal_line(line, record.line_number, again, none) != 0 || !(again == record)) std::abort();
        if (format_journal_line(again) != line) std::abort();
        const Verification verification = verify_journal_record(record);
        if (verification.text.empty() || verification.text.back() != '\n') std::abort();
    }
    return 0;
}
