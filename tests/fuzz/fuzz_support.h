// Shared pieces of the native fuzz targets: the input as text, split into lines or arguments,
// a scratch file for parsers that read files, and a failed-invariant stop that the fuzzer reports.
#ifndef ZAV_TESTS_FUZZ_FUZZ_SUPPORT_H
#define ZAV_TESTS_FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// The input as a C string: everything up to the first NUL, at most limit bytes.
inline std::string Text(const uint8_t *data, size_t size, size_t limit = 4096)
{
    std::string s;
    for (size_t i = 0; i < size && i < limit && data[i] != 0; i++)
        s += (char)data[i];
    return s;
}

// The input split at line feeds (a trailing piece without one counts too).
inline std::vector<std::string> Lines(const uint8_t *data, size_t size)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < size; i++) {
        if (data[i] == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += (char)data[i];
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// Stops the run with a message; libFuzzer keeps the input as a crash.
[[noreturn]] inline void Broken(const char *what)
{
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
}

// A file of this process holding the input, for parsers that open a path. Returns its path.
std::string WriteScratchFile(const char *name, const uint8_t *data, size_t size);
// Folder of the scratch files, with a trailing slash; the product's InstallDir in these builds.
const std::string &ScratchDir();

// Console answers the product reads: the lines given here, then end of input.
void SetAnswers(const std::vector<std::string> &lines);

} // namespace fuzz

#endif
