// x_resources.h: the player's options from the X resource database (the
// RESOURCE_MANAGER text that xrdb loads), looked up under the names WM_CLASS
// carries. Read once when the display opens; the values are the server's
// text, interpreted by their users.
#pragma once

#include <string>

constexpr const char* RESOURCE_INSTANCE = "clumpout";
constexpr const char* RESOURCE_CLASS = "Clumpout";

// Reads the database of the open display. Without one every lookup is empty.
void load_x_resources();

// The value of resource `name` (class `class_name`), both full paths such
// as "clumpout.scale" / "Clumpout.Scale"; false when it is not set.
bool x_resource(const char* name, const char* class_name, std::string& value);
