// The game's readers open files by name: each fuzz input is handed over as an
// anonymous in-memory file reached through /proc/self/fd.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

struct fuzzFile {
    int fd;
    char name[64];
    fuzzFile(const uint8_t *data, size_t size)
    {
        // The readers' messages would flood the fuzzer's output.
        static bool quiet = freopen("/dev/null", "w", stdout) != nullptr;
        (void)quiet;
        fd = memfd_create("pinwhirl-fuzz", 0);
        if (fd < 0 || write(fd, data, size) != (ssize_t)size) abort();
        snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    }
    ~fuzzFile() { close(fd); }
};
