// Test helpers shared by the unit and GL tests: data files in a private temporary
// directory, and the exact bytes a call writes to standard output.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace testfiles
{

// A fresh directory under $TMPDIR (or /tmp), removed with its files at the end of the test.
class tempDir
{
  public:
    tempDir()
    {
        const char *base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/pinwhirlTestXXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) ADD_FAILURE() << "mkdtemp failed for " << pattern;
        dir = buf.data();
    }
    ~tempDir()
    {
        for (const std::string &p : files)
            unlink(p.c_str());
        rmdir(dir.c_str());
    }
    tempDir(const tempDir &) = delete;
    tempDir &operator=(const tempDir &) = delete;

    // Writes content byte for byte to a file of this name and returns its path.
    std::string write(const std::string &name, const std::string &content)
    {
        std::string path = dir + "/" + name;
        FILE *f = fopen(path.c_str(), "wb");
        if (!f) {
            ADD_FAILURE() << "cannot write " << path;
            return path;
        }
        fwrite(content.data(), 1, content.size(), f);
        fclose(f);
        files.push_back(path);
        return path;
    }

    // A path in the directory where no file is.
    std::string missing(const std::string &name) const { return dir + "/" + name; }

  private:
    std::string dir;
    std::vector<std::string> files;
};

// Runs call() with file descriptor 1 sent to a temporary file and returns every
// byte written to standard output meanwhile.
template <class F> std::string captureStdout(F call)
{
    fflush(stdout);
    FILE *sink = tmpfile();
    if (!sink) {
        ADD_FAILURE() << "tmpfile failed";
        call();
        return "";
    }
    int saved = dup(1);
    dup2(fileno(sink), 1);
    call();
    fflush(stdout);
    dup2(saved, 1);
    close(saved);

    std::string out;
    rewind(sink);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, sink)) > 0)
        out.append(buf, n);
    fclose(sink);
    return out;
}

// How many file descriptors the process has open: the same before and after a
// load means the loader closed its file.
inline int openFileCount()
{
    int n = 0;
    if (DIR *d = opendir("/proc/self/fd")) {
        while (readdir(d))
            n++;
        closedir(d);
    }
    return n;
}

} // namespace testfiles
