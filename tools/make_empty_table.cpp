// make_empty_table.cpp: writes the empty high-score table, 40 entries of
// score 0 and "--------", for the install to put in the data directory.
// Usage: make_empty_table FILE
#include <cstdio>

#include "scores/high_score_table.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_empty_table FILE\n");
        return 2;
    }
    const HighScoreImage image = encode_high_score_table(empty_high_score_table());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) return 1;
    const bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
