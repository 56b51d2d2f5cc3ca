// data_dir.cpp: compiled into each executable with its own CLUMPOUT_DATA_DIR.
#include "app/data_dir.h"

const char* const DATA_DIR = CLUMPOUT_DATA_DIR;
