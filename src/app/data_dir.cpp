// data_dir.cpp: compiled into each executable with its own CLUMPOUT_DATA_DIR
// and CLUMPOUT_SCORE_DIR.
#include "app/data_dir.h"

const char* const DATA_DIR = CLUMPOUT_DATA_DIR;
const char* const SCORE_DIR = CLUMPOUT_SCORE_DIR;
