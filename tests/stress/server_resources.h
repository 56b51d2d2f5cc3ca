// server_resources.h: what a client holds on the X server, as the server's
// resource extension reports it through `xrestop -b -m 1`, and the resident
// memory of a process. Knows nothing of the game beyond one window id.
#pragma once

#include <X11/Xlib.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct ClientResources {
    unsigned long base = 0;  // res_base: the client's first resource id
    unsigned long mask = 0;  // res_mask
    long windows = -1;
    long gcs = -1;
    long fonts = -1;
    long pixmaps = -1;
    long colormaps = -1;
    long cursors = -1;
    long pixmap_bytes = -1;
    // The counts only; the ids are the same client's either way.
    bool same_counts(const ClientResources& o) const
    {
        return windows == o.windows && gcs == o.gcs && fonts == o.fonts && pixmaps == o.pixmaps &&
               colormaps == o.colormaps && cursors == o.cursors && pixmap_bytes == o.pixmap_bytes;
    }
    bool owns(XID id) const { return base != 0 && (id & ~mask) == base; }
};

std::string describe(const ClientResources& r);

// The client blocks of one batch sample of xrestop, in its order.
std::vector<ClientResources> parse_xrestop(std::string_view text);

// Samples the server once and returns the client that created `owned`
// (any resource id of it, such as its main window); nullopt when xrestop
// cannot be run or no client owns that id.
std::optional<ClientResources> sample_client(const std::string& display_name, XID owned);

// VmRSS of a process in KiB, -1 when it cannot be read.
long resident_kib(pid_t pid);
