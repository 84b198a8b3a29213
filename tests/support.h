// Shared by the unit and GL tests: data files in a private folder, and the
// exact bytes a call writes to standard output.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace testfiles
{

// A fresh folder, removed with its files at the end of the test.
struct tempDir {
    std::string dir;
    tempDir()
    {
        char pattern[] = "/tmp/pinwhirlTestXXXXXX";
        dir = mkdtemp(pattern);
    }
    ~tempDir() { (void)!system(("rm -rf " + dir).c_str()); }
    // Writes content byte for byte and returns the path.
    std::string write(const std::string &name, const std::string &content)
    {
        std::string path = missing(name);
        FILE *f = fopen(path.c_str(), "wb");
        fwrite(content.data(), 1, content.size(), f);
        fclose(f);
        return path;
    }
    std::string missing(const std::string &name) const { return dir + "/" + name; }
};

template <class F> std::string captureStdout(F call)
{
    testing::internal::CaptureStdout();
    call();
    return testing::internal::GetCapturedStdout();
}

} // namespace testfiles
