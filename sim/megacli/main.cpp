// Stand-in for the vendor's log utility: answers the adapter event log (-AdpEventLog -GetEvents
// -f FILE), the firmware terminal log (-FWTermlog -Dsply) and the adapter information
// (-AdpAllInfo) for the controllers of the simulator's state, numbered as the tools number them.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim/megacli/megacli_reports.h"
#include "sim/megacli/megacli_state.h"
#include "SimCore.h"

namespace {

enum class Request { None, EventLog, TermLog, AdapterInfo };

struct Options {
    Request request = Request::None;
    bool getEvents = false;
    bool display = false;
    bool allAdapters = true;
    std::vector<unsigned> adapters;
    std::string eventFile;
};

std::string Lower(const std::string &text)
{
    std::string out = text;
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "-aALL", "-aN" or "-aN,M,...".
bool ParseAdapters(const std::string &arg, Options &options)
{
    std::string list = arg.substr(2);
    if (list == "all") {
        options.allAdapters = true;
        return true;
    }
    options.allAdapters = false;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t comma = list.find(',', pos);
        std::string number = list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number.size() > 3)
            return false;
        options.adapters.push_back(static_cast<unsigned>(std::stoul(number)));
        if (comma == std::string::npos)
            break;
        pos = comma + 1;
    }
    return !options.adapters.empty();
}

bool ParseOptions(int argc, char **argv, Options &options, std::string &bad)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = Lower(argv[i]);
        if (arg == "-adpeventlog") {
            options.request = Request::EventLog;
        } else if (arg == "-getevents") {
            options.getEvents = true;
        } else if (arg == "-f" && i + 1 < argc) {
            options.eventFile = argv[++i];
        } else if (arg == "-fwtermlog") {
            options.request = Request::TermLog;
        } else if (arg == "-dsply") {
            options.display = true;
        } else if (arg == "-adpallinfo") {
            options.request = Request::AdapterInfo;
        } else if (arg == "-nolog") {
            // this stand-in keeps no log of its own
        } else if (arg.size() > 2 && arg.compare(0, 2, "-a") == 0 && ParseAdapters(arg, options)) {
        } else {
            bad = argv[i];
            return false;
        }
    }
    bool complete = (options.request == Request::EventLog && options.getEvents && !options.eventFile.empty()) ||
                    (options.request == Request::TermLog && options.display) ||
                    options.request == Request::AdapterInfo;
    if (!complete)
        bad = argc > 1 ? argv[argc - 1] : "";
    return complete;
}

void Usage()
{
    std::printf("Usage:\n"
                "  MegaCLi -AdpEventLog -GetEvents -f <file> -aN|-aN,M|-aALL [-nolog]\n"
                "  MegaCLi -FWTermlog -Dsply -aN|-aN,M|-aALL [-nolog]\n"
                "  MegaCLi -AdpAllInfo -aN|-aN,M|-aALL [-nolog]\n");
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    std::string bad;
    if (!ParseOptions(argc, argv, options, bad)) {
        std::printf("Invalid input at or near token %s\n", bad.c_str());
        Usage();
        return 1;
    }

    sim::State state;
    std::string error;
    if (!megacli::LoadState(state, error)) {
        std::printf("Failed to read the controller state: %s\nExit Code: 0x01\n", error.c_str());
        return 1;
    }
    std::vector<sim::Controller *> order = sim::CtrlsInIdOrder(state);
    if (order.empty()) {
        std::printf("No adapter found.\nExit Code: 0x01\n");
        return 1;
    }
    std::vector<unsigned> selected;
    if (options.allAdapters) {
        for (unsigned n = 0; n < order.size(); n++)
            selected.push_back(n);
    } else {
        for (unsigned n : options.adapters) {
            if (n >= order.size()) {
                std::printf("Adapter %u not found.\nExit Code: 0x01\n", n);
                return 1;
            }
            selected.push_back(n);
        }
    }

    std::string report;
    for (unsigned n : selected) {
        sim::Controller &ctrl = *order[n];
        if (!report.empty())
            report += "\n";
        switch (options.request) {
        case Request::EventLog:
            report += megacli::EventLogReport(state, ctrl, n);
            break;
        case Request::TermLog:
            report += megacli::TermLogReport(state, ctrl, n);
            break;
        default:
            report += megacli::AdapterInfoReport(state, ctrl, n);
            break;
        }
    }

    if (options.request == Request::EventLog) {
        std::ofstream file(options.eventFile, std::ios::trunc);
        file << report;
        if (!file) {
            std::printf("Failed to write the event log to %s\nExit Code: 0x01\n", options.eventFile.c_str());
            return 1;
        }
        std::printf("Events written to %s\nExit Code: 0x00\n", options.eventFile.c_str());
        return 0;
    }
    std::fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}
