// zavsim.exe: drives the controller simulator (scenarios, state tables, faults, journal, clock,
// drive changes). The commands are in SimZavsim.cpp; see sim/README.md.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SimCore.h"

static std::string ExeDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string p = path;
    size_t cut = p.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : p.substr(0, cut);
}

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    int rc = 1;
    try {
        rc = sim::ZavsimRun(args, sim::ResolvePaths(ExeDir()), out, err);
    } catch (const std::exception &e) {
        err += std::string("zavsim: ") + e.what() + "\n";
        rc = 1;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return rc;
}
