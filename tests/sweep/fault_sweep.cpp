// Fault sweep: every zavcli command is run once cleanly against the simulator, and then once per
// library call of that clean run with exactly that call failing (a one-shot fault of the process,
// ZAVSIM_FAULT_ONCE). Each cell checks: the tool neither crashed nor hung, it said what a failure
// at that step must say with the right exit code, it sent no changing packet after the failure
// (unless the command is known to go on), and the state file still loads. The test prints the
// whole table, one row per cell; a failing cell names its command, call number and call.
//
// By default the start-up calls (library initialisation and the refresh of the controller data,
// identical for every command) are swept through one command only, and every command's own calls
// in full. ZAV_SWEEP_FULL=1 sweeps the start-up calls of every command too (scripts/sweep);
// ZAV_SWEEP_ONLY=name[,name...] limits the run to those commands.
#include "e2e/support/e2e.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "SimCore.h"

namespace {

using e2e::ProcResult;

// One command of the sweep: its arguments, its console answers and how the state is prepared.
struct SweepCommand {
    const char *label;
    std::vector<std::string> args;
    std::string answers;
    std::string scenario;
    std::vector<std::vector<std::string>> prepare; // zavsim commands after the load
};

const std::string kYes = "y\ny\ny\ny\ny\ny\ny\ny\n";

std::vector<SweepCommand> Commands()
{
    return {
        {"lde", {"-lde"}, "1\n1\n" + kYes, "default", {}},
        {"ldc", {"-ldc", "-r1[252:6,252:7]"}, kYes, "default", {}},
        {"lddel", {"-lddel"}, "1\ny\ny\n", "default", {}},
        {"pdhsp", {"-pdhsp", "-ghs", "-pd[252:6]"}, kYes, "default", {}},
        {"ctrlinfo", {"-ctrlinfo", "-a0"}, "", "default", {}},
        {"ldpdinfo", {"-ldpdinfo", "-L0"}, "", "default", {}},
        {"pdinfo", {"-pdinfo", "-pd[252:0,252:5]"}, "", "default", {}},
        {"cbinfo", {"-cbinfo"}, "", "default", {}},
        {"cblearn", {"-cblearn"}, kYes, "default", {}},
        {"enclinfo", {"-enclinfo"}, "", "default", {}},
        {"v", {"-v"}, "", "default", {}},
        {"h", {"-h"}, "", "default", {}},
        {"help", {"-help"}, "", "default", {}},
        {"?", {"-?"}, "", "default", {}},
        {"ldsetprop", {"-ldsetprop", "-name", "Sweep", "-nora", "-L1"}, kYes, "default", {}},
        {"ctrlautorbld", {"-ctrlautorbld", "-dsbl"}, kYes, "default", {}},
        {"ctrlsetprop", {"-ctrlsetprop", "-trh"}, kYes, "default", {}},
        {"ctrlpr", {"-ctrlpr", "-enblauto", "-week"}, kYes, "default", {}},
        {"ldinit", {"-ldinit", "-start", "-L1"}, kYes, "default", {}},
        {"pdrbld", {"-pdrbld", "-start", "-pd[252:1]"}, kYes, "default",
         {{"ctrl", "set", "0", "auto_rebuild=0"}, {"pd", "fail", "0", "1"}}},
        {"ldcc", {"-ldcc", "-start", "-L1"}, kYes, "default", {}},
        {"ldpdprog", {"-ldpdprog"}, "", "degraded", {}},
        {"tstevt", {"-tstevt", "-inf"}, "", "default", {}},
        {"pdlocate", {"-pdlocate", "-start", "-pd[252:6]"}, "", "default", {}},
        {"pdonline", {"-pdonline", "-pd[252:3]"}, kYes, "default", {{"pd", "set", "0", "3", "state=16"}}},
        {"pdoffline", {"-pdoffline", "-pd[252:3]"}, kYes, "default", {}},
        {"pdmakegood", {"-pdmakegood", "-pd[252:1]"}, kYes, "degraded", {}},
        {"log", {"-log"}, kYes, "default", {}},
        {"sse", {"-sse"}, "1\n2\n1\n1\n\ny\nq\n", "snapshot", {}},
        {"snapshot", {"-snapshot", "-create", "-name", "Sweep", "-L0"}, kYes, "snapshot", {}},
    };
}

// Statuses of the library's table, taken in turn so that every kind of code is seen.
const uint32_t kStatuses[] = {0x32, 0x8017, 0xC, 0x8009, 0x3, 0x23, 0x22, 0x1B, 0x800C, 0xB};

// Packets that change the controller; everything else only reads.
bool IsChangingCall(const std::string &line)
{
    static const std::set<std::string> changing = {
        "SLSetCtrlProp", "SLSetPatrolReadProp", "SLStartPatrolReadOpe", "SLStopPatrolReadOpe",
        "SLMakeDriveOnline", "SLMakeDriveOffline", "SLStartRebuild", "SLStopRebuild", "SLStartLocatePD",
        "SLStopLocatePD", "SLMakeGlobalHotspare", "SLMakeDedicatedHotspare", "SLRemoveHotspare",
        "SLMakeDriveUnconfGood", "SLSetLDProperties", "SLDeleteLD", "SLStartCheckConsistency",
        "SLCancelCheckConsistency", "SLStartInitialization", "SLCancelInitialization", "SLCreateLD",
        "SLAddLDToRG", "SLCreateCacheCadeLD", "SLImportForeignConfig", "SLClearForeignConfig",
        "SLLearnCacheBkup"};
    std::string name = line.substr(0, line.find(' '));
    if (name == "SendDCMD")
        return line.find(" dir=2 ") == std::string::npos; // a direct command that sends or acts
    return changing.count(name) != 0;
}

// What a command must do when one of its own calls fails, where that is not the default (an
// "Error - " text naming the controller, nothing changed afterwards). Rows are searched in order;
// call "*" stands for any call, a call name matches its journal name (and opcode).
enum ExpectKind {
    kExpectError,   // an "Error - " text naming the controller
    kExpectText,    // the given text
    kExpectSilent,  // the command ends without a console message
    kExpectGoesOn   // the command carries on to its clean-run result (the call only informs a check)
};
struct Expectation {
    const char *command;
    const char *call;
    ExpectKind kind;
    const char *text;
    const char *reason;
};
const Expectation kExpectations[] = {
    {"ctrlinfo", "*", kExpectSilent, "", "query failures end ctrlinfo after the trace line, without a console message"},
    {"cbinfo", "*", kExpectText, "Error - This command is not supported at the current configuration.",
     "cbinfo reports any failed query of the unit as not supported"},
    {"ctrlsetprop", "SLGetCtrlInfo", kExpectSilent, "", "ctrlsetprop ends silently when it cannot read the controller"},
    {"ctrlsetprop", "SendDCMD(0x010E0201)", kExpectSilent, "", "and when it cannot read the firmware defaults"},
    {"v", "SLGetLibraryVersion", kExpectGoesOn, "", "a version that cannot be read stays empty"},
    {"pdinfo", "SLGetPDList", kExpectGoesOn, "", "the temperature line is shown only when it can be read"},
    {"pdinfo", "SCSISENSEPassthru", kExpectGoesOn, "", "the temperature line is shown only when it can be read"},
    {"ldpdinfo", "SLGetPDList", kExpectGoesOn, "", "its PD lines are pdinfo's, temperature included"},
    {"ldpdinfo", "SCSISENSEPassthru", kExpectGoesOn, "", "its PD lines are pdinfo's, temperature included"},
    {"lde", "SLGetPDList", kExpectGoesOn, "", "the planner skips (and traces) a PD whose size cannot be read afresh"},
    {"lde", "SLGetPDInfo", kExpectGoesOn, "", "the planner skips (and traces) a PD whose size cannot be read afresh"},
    {"ldc", "SLGetPDList", kExpectGoesOn, "", "the planner skips (and traces) a PD whose size cannot be read afresh"},
    {"ldc", "SLGetPDInfo", kExpectGoesOn, "", "the planner skips (and traces) a PD whose size cannot be read afresh"},
};

const Expectation *ExpectationOf(const std::string &command, const std::string &call)
{
    for (const Expectation &e : kExpectations)
        if (command == e.command && (std::string(e.call) == "*" || call == e.call))
            return &e;
    return nullptr;
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

std::vector<std::string> PacketLines(const std::string &journal)
{
    std::vector<std::string> lines;
    for (const std::string &line : SplitLines(journal))
        if (line.find(" type=") != std::string::npos && line.compare(0, 7, "zavsim ") != 0)
            lines.push_back(line);
    return lines;
}

std::string CallName(const std::string &line)
{
    std::string name = line.substr(0, line.find(' '));
    size_t op = line.find(" opcode=");
    if (op != std::string::npos)
        name += "(" + line.substr(op + 8, 10) + ")";
    return name;
}

// Start-up reads whose failure the refresh only traces before it goes on: a snapshot base's or a
// repository's information (the record keeps a zeroed buffer for that LD).
bool StartupReadGoesOn(const std::string &call)
{
    return call == "SendDCMD(0x030F0800)" || call == "SendDCMD(0x030F0900)";
}

std::string Lf(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string Hex(uint32_t v)
{
    char buf[16];
    snprintf(buf, sizeof(buf), "0x%X", (unsigned)v);
    return buf;
}

bool EnvFlag(const char *name)
{
    const char *v = getenv(name);
    return v && *v && strcmp(v, "0") != 0;
}

std::string EnvText(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

const char kAccessError[] = "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n";
const char kInitError[] = "Error - Failed to initialize.\n";

class FaultSweep : public ::testing::TestWithParam<SweepCommand> {
protected:
    std::string base;     // the prepared state of this command, copied before every run
    std::string state;
    std::string journal;

    void SetUp() override
    {
        std::string tag = GetParam().label == std::string("?") ? "question" : GetParam().label;
        base = e2e::TempPath("sweep_" + tag + "_base.json");
        state = e2e::TempPath("sweep_" + tag + "_state.json");
        journal = e2e::TempPath("sweep_" + tag + "_journal.txt");
        SetEnvironmentVariableA("ZAVSIM_STATE", state.c_str());
        SetEnvironmentVariableA("ZAVSIM_JOURNAL", journal.c_str());
        SetEnvironmentVariableA("ZAVSIM_FAULT_ONCE", nullptr);
        static bool portMade = false;
        if (!portMade) {
            e2e::RunProgram(e2e::BinDir() + "\\zavdevmap.exe", {"Scsi Port 2=megasas2"});
            portMade = true;
        }
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("ZAVSIM_FAULT_ONCE", nullptr);
        for (const std::string &p : {base, state, journal, state + ".lock", state + ".new"})
            DeleteFileA(p.c_str());
    }

    void Prepare(const SweepCommand &c)
    {
        sim::Paths paths;
        paths.state = base;
        paths.journal = journal;
        paths.lock = base + ".lock";
        std::string out, err;
        ASSERT_EQ(0, sim::ZavsimRun({"load", c.scenario}, paths, out, err)) << err;
        for (const std::vector<std::string> &step : c.prepare)
            ASSERT_EQ(0, sim::ZavsimRun(step, paths, out, err)) << err;
        DeleteFileA(paths.lock.c_str());
    }

    // One run of the command from the prepared state; the journal's packet lines come back too.
    ProcResult RunOnce(const SweepCommand &c, unsigned faultCall, uint32_t status, std::vector<std::string> &packets)
    {
        CopyFileA(base.c_str(), state.c_str(), FALSE);
        DeleteFileA(journal.c_str());
        if (faultCall) {
            std::string rule = std::to_string(faultCall) + ":" + Hex(status);
            SetEnvironmentVariableA("ZAVSIM_FAULT_ONCE", rule.c_str());
        } else {
            SetEnvironmentVariableA("ZAVSIM_FAULT_ONCE", nullptr);
        }
        ProcResult r = e2e::RunProgram(e2e::ZavcliPath(), c.args, c.answers, e2e::BinDir(), 60000);
        SetEnvironmentVariableA("ZAVSIM_FAULT_ONCE", nullptr);
        r.out = Lf(r.out);
        packets = PacketLines(e2e::ReadFileText(journal));
        return r;
    }

    std::string StateProblem()
    {
        sim::State s;
        std::string error;
        if (!sim::ParseStateText(e2e::ReadFileText(state), s, error))
            return "state file does not load: " + error;
        if (e2e::ReadFileText(journal).find("\nERROR ") != std::string::npos)
            return "simulator could not save";
        return "";
    }
};

enum Phase { kInit, kStartup, kHandler, kTeardown };

const char *PhaseName(Phase p)
{
    switch (p) {
    case kInit: return "init";
    case kStartup: return "start-up";
    case kHandler: return "command";
    default: return "tear-down";
    }
}

// An "Error - " text naming the controller, anywhere in a line (a prompt may stand before it).
bool HasControllerError(const std::string &out)
{
    for (const std::string &line : SplitLines(out)) {
        size_t at = line.find("Error - ");
        if (at != std::string::npos && line.find("Controller[", at) != std::string::npos)
            return true;
    }
    return false;
}

bool HasError(const std::string &out) { return out.find("Error - ") != std::string::npos; }

// The clean run's report of what it did: its first "Information - " line, "" when it has none.
std::string SuccessLine(const std::string &out)
{
    for (const std::string &line : SplitLines(out)) {
        size_t at = line.find("Information - ");
        if (at != std::string::npos)
            return line.substr(at);
    }
    return "";
}

// The handler's answer to a failed call, judged against the clean run; "" when it is right.
std::string JudgeCommandCell(const std::string &command, const std::string &call, bool beforeFirstChange,
                             bool afterLastChange, bool callChanges, const std::string &cleanOut,
                             const std::string &out)
{
    const std::string success = SuccessLine(cleanOut);
    if (callChanges && !success.empty() && out.find(success) != std::string::npos && !HasError(out))
        return "the failed change was reported as done";
    if (afterLastChange) {
        // The change is made; the report of it must stand (a later error may follow).
        if (!success.empty() && out.find(success) == std::string::npos)
            return "the change was made, but its report is missing";
        return "";
    }
    // The table speaks of the checks a command makes before it changes anything.
    const Expectation *e = beforeFirstChange ? ExpectationOf(command, call) : nullptr;
    switch (e ? e->kind : kExpectError) {
    case kExpectError:
        return HasControllerError(out) ? "" : "no \"Error - \" text naming the controller";
    case kExpectText:
        return out.find(e->text) != std::string::npos ? "" : std::string("expected \"") + e->text + "\"";
    case kExpectSilent:
        return out.empty() ? "" : "expected no console message";
    case kExpectGoesOn:
        return (success.empty() || out.find(success) != std::string::npos) && !HasError(out)
                   ? ""
                   : "expected the command to carry on to its clean result";
    }
    return "";
}

std::string FirstLine(const std::string &text)
{
    for (const std::string &line : SplitLines(text)) {
        size_t at = std::min(line.find("Error - "), line.find("Information - "));
        if (at != std::string::npos)
            return line.substr(at, 70);
    }
    return text.substr(0, std::min<size_t>(text.find('\n'), 70));
}

TEST_P(FaultSweep, EveryCallFailsOnce)
{
    const SweepCommand &c = GetParam();
    const std::string only = EnvText("ZAV_SWEEP_ONLY");
    if (!only.empty() && ("," + only + ",").find("," + std::string(c.label) + ",") == std::string::npos)
        GTEST_SKIP() << "ZAV_SWEEP_ONLY=" << only;
    const bool full = EnvFlag("ZAV_SWEEP_FULL");
    const bool sweepStartup = full || std::string(c.label) == "ctrlinfo" || std::string(c.label) == "log";
    ASSERT_NO_FATAL_FAILURE(Prepare(c));

    // The start-up calls: what a command that asks nothing of the controller sends before tear-down.
    // Kept per prepared state, so each scenario costs one reference run.
    static std::map<std::string, std::vector<std::string>> references;
    std::string key = c.scenario;
    for (const std::vector<std::string> &step : c.prepare)
        for (const std::string &word : step)
            key += " " + word;
    if (references.count(key) == 0)
        RunOnce({"help", {"-help"}, "", c.scenario, {}}, 0, 0, references[key]);
    const std::vector<std::string> &reference = references[key];
    std::vector<std::string> clean;
    ProcResult cleanRun = RunOnce(c, 0, 0, clean);
    ASSERT_EQ(0, cleanRun.exitCode) << c.label << " clean run:\n" << cleanRun.out << cleanRun.err;
    ASSERT_EQ("", StateProblem()) << c.label << " clean run";
    ASSERT_FALSE(clean.empty()) << c.label << " clean run sent nothing";
    EXPECT_EQ(std::string::npos, cleanRun.out.find("Error - ")) << c.label << " clean run:\n" << cleanRun.out;
    size_t startupEnd = 1; // packets [1, startupEnd] are initialisation and start-up
    while (startupEnd < clean.size() && startupEnd + 1 < reference.size() &&
           clean[startupEnd] == reference[startupEnd])
        startupEnd++;

    size_t firstChange = 0, lastChange = 0; // 1-based numbers of the clean run's changing calls, 0: none
    for (size_t k = 0; k < clean.size(); k++) {
        if (IsChangingCall(clean[k])) {
            lastChange = k + 1;
            if (firstChange == 0)
                firstChange = k + 1;
        }
    }

    printf("\n%s (%s): clean run %zu calls, exit %d, \"%s\"\n", c.label, c.scenario.c_str(), clean.size(),
           cleanRun.exitCode, FirstLine(cleanRun.out).c_str());
    printf("%-12s %4s %-34s %-9s %-7s %4s  %s\n", "command", "call", "name", "phase", "status", "exit", "outcome");
    unsigned cells = 0, failing = 0;
    for (size_t i = 1; i <= clean.size(); i++) {
        Phase phase = i == 1 ? kInit
                      : i <= startupEnd ? kStartup
                      : (i == clean.size() && CallName(clean[i - 1]) == "UnInitializeLibrary") ? kTeardown
                                                                                           : kHandler;
        if ((phase == kInit || phase == kStartup) && !sweepStartup)
            continue;
        const uint32_t status = kStatuses[(i - 1) % (sizeof(kStatuses) / sizeof(kStatuses[0]))];
        std::vector<std::string> packets;
        ProcResult r = RunOnce(c, (unsigned)i, status, packets);
        const std::string call = CallName(clean[i - 1]);

        std::string problem;
        if (r.exitCode == -999)
            problem = "hang (no exit within 60 s)";
        else if (r.exitCode != 0 && r.exitCode != -1)
            problem = "crash (exit code " + Hex((uint32_t)r.exitCode) + ")";
        else if (packets.size() < i || packets[i - 1].find(" fault") == std::string::npos)
            problem = "the faulted call was not sent as in the clean run";
        if (problem.empty()) {
            switch (phase) {
            case kInit:
                if (r.out.find(kInitError) == std::string::npos || r.exitCode != -1)
                    problem = "expected \"Error - Failed to initialize.\" and exit -1";
                break;
            case kStartup:
                if (StartupReadGoesOn(call)) {
                    if (r.exitCode != cleanRun.exitCode || r.out.find(kAccessError) != std::string::npos)
                        problem = "expected the refresh to go on after a failed snapshot read";
                } else if (r.out.find(kAccessError) == std::string::npos || r.exitCode != -1) {
                    problem = "expected the controller-access error and exit -1";
                }
                break;
            case kHandler:
                if (r.exitCode != 0)
                    problem = "exit code " + std::to_string(r.exitCode) + " after the handler ran";
                else
                    problem = JudgeCommandCell(c.label, call, firstChange == 0 || i < firstChange,
                                               i > lastChange, IsChangingCall(clean[i - 1]), cleanRun.out, r.out);
                break;
            case kTeardown:
                if (r.exitCode != cleanRun.exitCode || HasError(r.out) ||
                    r.out.find(SuccessLine(cleanRun.out)) == std::string::npos)
                    problem = "a failed library exit changed the outcome";
                break;
            }
        }
        const Expectation *e = (firstChange == 0 || i < firstChange) ? ExpectationOf(c.label, call) : nullptr;
        const bool goesOn = (e && e->kind == kExpectGoesOn) || (phase == kStartup && StartupReadGoesOn(call));
        if (problem.empty() && !goesOn) {
            for (size_t k = i; k < packets.size(); k++) {
                if (IsChangingCall(packets[k])) {
                    problem = "changing call after the failure: " + CallName(packets[k]);
                    break;
                }
            }
        }
        if (problem.empty())
            problem = StateProblem();
        cells++;
        std::string outcome = problem.empty() ? "ok: " + FirstLine(r.out) : "FAIL: " + problem;
        printf("%-12s %4zu %-34s %-9s %-7s %4d  %s\n", c.label, i, call.c_str(), PhaseName(phase), Hex(status).c_str(),
               r.exitCode, outcome.c_str());
        fflush(stdout);
        if (!problem.empty()) {
            failing++;
            ADD_FAILURE() << "cell " << c.label << " x call " << i << " " << call << " (" << PhaseName(phase)
                          << ", status " << Hex(status) << "): " << problem << "\n--- output:\n" << r.out;
        }
    }
    printf("%s: %u cells swept, %u failing\n", c.label, cells, failing);
}

std::string CellName(const ::testing::TestParamInfo<SweepCommand> &info)
{
    std::string label = info.param.label;
    return label == "?" ? "question" : label;
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweep, ::testing::ValuesIn(Commands()), CellName);

}  // namespace
