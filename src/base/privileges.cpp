// privileges.cpp: giving up the installed group for good.
// Owns the group ids of the process and nothing else; it does not know
// which files the group is for.
#include "base/privileges.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "base/report.h"

int drop_group_privilege() {
    gid_t real = 0, effective = 0, saved = 0;
    gid_t real_now = 0, effective_now = 0, saved_now = 0;
    // Each step is checked: a group that is only believed gone is still there.
    const bool dropped = getresgid(&real, &effective, &saved) == 0 && setresgid(real, real, real) == 0 &&
                         getresgid(&real_now, &effective_now, &saved_now) == 0 && real_now == real &&
                         effective_now == real && saved_now == real;
    if (dropped) return 0;
    report("Error: can't drop group privilege.\n");
    return -1;
}

bool holds_borrowed_group() {
    const gid_t effective = getegid();
    if (effective == getgid()) return false;
    const int count = getgroups(0, nullptr);
    if (count < 0) return true;  // unknown: taken as borrowed, the safe side
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgroups(count, groups.data()) != count) return true;
    return std::find(groups.begin(), groups.end(), effective) == groups.end();
}
