// file_handle.h: owning handles for C files and descriptors, so an early
// return closes them.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class FileDescriptor {  // owns one open descriptor, -1 for none
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now so that the caller sees the result (a late write error).
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};
