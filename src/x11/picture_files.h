// picture_files.h: loading a picture set from a file named by the catalogue:
// a description file naming XPM files, or a BMP tile sheet.
#pragma once

// Fills TileImages from the named file. Returns 0, or -1 after reporting why.
int load_picture_files(const char* name, const char* data_dir);
