// data_dir.h: the directories the executable was built for: the data
// directory, and the one that holds the shared high-score table and its lock
// (the data directory unless a packager set another). Only main reads them;
// every function that forms a path there takes the directory as a parameter,
// so tests can point it at a folder of their own.
#pragma once

extern const char* const DATA_DIR;
extern const char* const SCORE_DIR;
