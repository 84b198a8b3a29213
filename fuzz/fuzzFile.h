// The game's loaders open files by name: each fuzz input is handed over as an
// anonymous in-memory file reached through /proc/self/fd.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

struct fuzzFile {
    int fd;
    char name[64];
};

inline fuzzFile fuzzFileOpen(const uint8_t *data, size_t size)
{
    fuzzFile f;
    f.fd = memfd_create("pinwhirl-fuzz", 0);
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(f.fd, data + done, size - done);
        if (n <= 0) break;
        done += (size_t)n;
    }
    snprintf(f.name, sizeof f.name, "/proc/self/fd/%d", f.fd);
    return f;
}

inline void fuzzFileClose(fuzzFile *f) { close(f->fd); }

// Loader messages would flood the fuzzer's output.
inline void fuzzQuietStdout()
{
    if (!freopen("/dev/null", "w", stdout)) perror("freopen");
}
