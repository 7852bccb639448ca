// What every test that drives the simulator needs first: the folder of the test programs, whole
// files as text, and a simulator state and journal of the running test's own.
#ifndef ZAV_TESTS_SIM_SIM_PATHS_H
#define ZAV_TESTS_SIM_SIM_PATHS_H

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "SimCore.h"

namespace simtest {

inline std::string BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/"));
}

inline std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void RemoveSimFiles(const sim::Paths &paths)
{
    DeleteFileA(paths.state.c_str());
    DeleteFileA(paths.journal.c_str());
    DeleteFileA(paths.lock.c_str());
}

// State, journal and lock file named after the running test in the temporary folder, left
// empty, and made the simulator's for this process and every program it starts.
inline sim::Paths UseTestSimPaths(const std::string &prefix)
{
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof(dir), dir);
    std::string base = std::string(dir) + prefix + std::to_string(GetCurrentProcessId()) + "_" +
                       info->test_suite_name() + "_" + info->name();
    for (char &c : base)
        if (c == '/')
            c = '_';
    sim::Paths paths;
    paths.state = base + "_state.json";
    paths.journal = base + "_journal.txt";
    paths.lock = paths.state + ".lock";
    RemoveSimFiles(paths);
    SetEnvironmentVariableA("ZAVSIM_STATE", paths.state.c_str());
    SetEnvironmentVariableA("ZAVSIM_JOURNAL", paths.journal.c_str());
    return paths;
}

} // namespace simtest

#endif
