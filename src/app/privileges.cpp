// privileges.cpp: dropping and regaining the installed group.
#include "app/privileges.h"

void drop_group_privilege() {}
GamesGroup::GamesGroup() {}
GamesGroup::~GamesGroup() {}
