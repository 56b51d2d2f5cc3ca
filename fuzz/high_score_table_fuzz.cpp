// high_score_table_fuzz.cpp: any bytes read as a high-score file. Decoding
// lays them over the table, so encoding again must give back the bytes that
// were taken and, past them, the image as it was before.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "scores/high_score_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HighScoreTable before = empty_high_score_table();
    HighScoreTable table = before;
    const std::size_t taken = decode_high_score_table(std::span(data, size), table);
    if (taken != (size < HIGH_SCORE_TABLE_BYTES ? size : HIGH_SCORE_TABLE_BYTES)) std::abort();
    const HighScoreImage image = encode_high_score_table(table);
    const HighScoreImage old_image = encode_high_score_table(before);
    if (taken > 0 && std::memcmp(image.data(), data, taken) != 0) std::abort();
    if (std::memcmp(image.data() + taken, old_image.data() + taken, image.size() - taken) != 0)
        std::abort();
    // Whatever was read, ranking and inserting stay inside the table.
    for (int size_class = 0; size_class < HIGH_SCORE_CLASSES; ++size_class) {
        const int rank = rank_result(table, size_class, 1000);
        if (rank < 0 || rank > HIGH_SCORE_ROWS) std::abort();
        insert_result(table, size_class, rank, 1000, "fuzz");
    }
    return 0;
}
