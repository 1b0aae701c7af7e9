// Helpers for tests that read the files Kairon writes.
#ifndef KAIRON_TESTS_TEST_FILES_H
#define KAIRON_TESTS_TEST_FILES_H

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

// Text with each "\n" written as CR LF, as Windows text-mode streams do.
inline std::string CrLf(const std::string& text)
{
    std::string converted;
    for (char c : text) {
        if (c == '\n')
            converted += '\r';
        converted += c;
    }
    return converted;
}

// Text as a text-mode stream writes it here: CR LF on Windows, LF elsewhere.
inline std::string Native(const std::string& text)
{
#ifdef _WIN32
    return CrLf(text);
#else
    return text;
#endif
}

// This test process's id, which keeps apart the files of test programs
// that run at the same time in one working directory (ctest -j).
inline std::string ProcessTag()
{
#ifdef _WIN32
    return std::to_string(_getpid());
#else
    return std::to_string(getpid());
#endif
}

// A file in the working directory, removed before and after the test. Its
// name carries the process's id: the same name in two test processes is
// two files.
struct TempFile {
    explicit TempFile(const std::string& name)
        : path("kairon_test_" + ProcessTag() + "_" + name)
    {
        std::remove(path.c_str());
    }
    ~TempFile() { std::remove(path.c_str()); }
    std::string Read() const
    {
        std::string bytes;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                bytes.append(buffer, n);
            std::fclose(f);
        }
        return bytes;
    }
    void Write(const std::string& bytes) const
    {
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    std::string path;
};

#endif
