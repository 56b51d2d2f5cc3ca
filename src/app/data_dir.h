// data_dir.h: the data directory the executable was built for. Only main
// reads it; every function that forms a path there takes the directory as a
// parameter, so tests can point it at a folder of their own.
#pragma once

extern const char* const DATA_DIR;
