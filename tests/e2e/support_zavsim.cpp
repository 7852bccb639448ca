// The end-to-end tests drive the simulator through zavsim's own command code in the test process:
// the same commands, files and exit codes as zavsim.exe, without a Wine process start for each
// scenario load, fault rule or state dump.
#include "support/e2e.h"

#include "SimCore.h"

namespace e2e {

// zavsim.exe writes through the C run-time's text mode, which turns "\n" into "\r\n".
static std::string AsTextMode(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

ProcResult RunZavsimInProcess(const std::vector<std::string> &args)
{
    ProcResult result;
    std::string out, err;
    try {
        result.exitCode = sim::ZavsimRun(args, sim::ResolvePaths(BinDir()), out, err);
    } catch (const std::exception &e) {
        err += std::string("zavsim: ") + e.what() + "\n";
        result.exitCode = 1;
    }
    result.out = AsTextMode(out);
    result.err = AsTextMode(err);
    return result;
}

} // namespace e2e
