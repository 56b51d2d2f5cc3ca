// privileges.cpp: dropping and regaining the installed group.
// Owns the effective group id of the process and nothing else; it does not
// know which files the group is wanted for. Installed without setgid, the
// real, effective and saved groups are equal and every call here is a no-op.
#include "base/privileges.h"

#include <unistd.h>

#include <cstdlib>

#include "base/report.h"

namespace {

// Guards alive at the moment; only the outermost one changes the group.
int guard_depth = 0;
// The effective group in force before the outermost guard, put back by it.
gid_t effective_before_guard = 0;

}  // namespace

void drop_group_privilege() {
    gid_t real = 0, effective = 0, saved = 0;
    if (getresgid(&real, &effective, &saved) != 0) return;
    if (effective == real) return;
    // Keep the saved group so GamesGroup can take it back later.
    if (setresgid(static_cast<gid_t>(-1), real, static_cast<gid_t>(-1)) != 0) {
        // Going on with the games group would open the player's own files
        // with the wrong rights; the game is not worth that.
        report("Error: can't drop group privilege.\n");
        std::exit(1);
    }
}

GamesGroup::GamesGroup() {
    if (guard_depth++ > 0) return;
    gid_t real = 0, effective = 0, saved = 0;
    if (getresgid(&real, &effective, &saved) != 0) {
        effective_before_guard = getegid();
        return;
    }
    effective_before_guard = effective;
    // A failure leaves the player's group; the file operation that follows
    // then fails on permissions and reports it, as for any unwritable file.
    if (effective != saved) setresgid(static_cast<gid_t>(-1), saved, static_cast<gid_t>(-1));
}

GamesGroup::~GamesGroup() {
    if (--guard_depth > 0) return;
    if (getegid() != effective_before_guard) {
        if (setresgid(static_cast<gid_t>(-1), effective_before_guard, static_cast<gid_t>(-1)) != 0) {
            report("Error: can't drop group privilege.\n");
            std::exit(1);
        }
    }
}
