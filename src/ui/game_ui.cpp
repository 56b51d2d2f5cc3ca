// game_ui.cpp: display set-up and window layout (being built).
#include "ui/game_ui.h"

const char* display_name = nullptr;
