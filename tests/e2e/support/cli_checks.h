// Helpers of the command end-to-end tests: a fixture that makes sure the controller's port is in
// the device map, the console text as the program wrote it, and journal and state queries.
#ifndef ZAV_TESTS_E2E_SUPPORT_CLI_CHECKS_H
#define ZAV_TESTS_E2E_SUPPORT_CLI_CHECKS_H

#include "e2e.h"

#include <string>
#include <vector>

namespace e2e {

// Undoes the text-mode translation of the child's standard output ("\n" became "\r\n"), so tests
// compare against the exact bytes the tool printed.
inline std::string ConsoleText(const std::string &raw)
{
    std::string s;
    s.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); i++) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        s += raw[i];
    }
    return s;
}

// Lines of the journal that start with the given command name.
inline std::vector<std::string> JournalLines(const std::string &journal, const std::string &command)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < journal.size()) {
        size_t end = journal.find('\n', pos);
        if (end == std::string::npos)
            end = journal.size();
        std::string line = journal.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (command.empty() || line.compare(0, command.size() + 1, command + " ") == 0)
            lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

inline size_t CountOf(const std::string &text, const std::string &part)
{
    size_t n = 0;
    for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + part.size()))
        n++;
    return n;
}

// The trace records of the most recent zavcli run: the ring is read from its end marker on (the
// oldest record) round to the marker, and cut at the last command-line echo.
inline std::string LastRunTrace()
{
    std::string log = TraceLogText();
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < log.size()) {
        size_t end = log.find('\n', pos);
        if (end == std::string::npos)
            end = log.size();
        lines.push_back(log.substr(pos, end - pos));
        pos = end + 1;
    }
    size_t marker = lines.size();
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].compare(0, 5, "<END>") == 0) {
            marker = i;
            break;
        }
    }
    std::vector<std::string> ordered;
    for (size_t i = marker + 1; i < lines.size(); i++)
        ordered.push_back(lines[i]);
    for (size_t i = 0; i < marker && i < lines.size(); i++)
        ordered.push_back(lines[i]);
    size_t start = 0;
    for (size_t i = 0; i < ordered.size(); i++) {
        if (ordered[i].find("zavcli.exe ") != std::string::npos && ordered[i].find(".cpp(") == std::string::npos)
            start = i;
    }
    std::string text;
    for (size_t i = start; i < ordered.size(); i++)
        text += ordered[i] + "\n";
    return text;
}

class CliTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        // The device-map port vanishes whenever the Wine server restarts; without it the tool
        // prints a registry notice before every report. The server cannot restart while this
        // program runs (it is one of the server's clients), so once per program is enough.
        static bool portWritten = false;
        if (!portWritten)
            portWritten = RunProgram(BinDir() + "\\zavdevmap.exe", {"Scsi Port 2=megasas2"}).exitCode == 0;
    }

    // Runs zavcli and returns its console text (exit code checked to be 0, as for every handler).
    std::string Run(const std::vector<std::string> &args, const std::string &stdinText = "")
    {
        ProcResult r = Zavcli(args, stdinText);
        EXPECT_EQ(0, r.exitCode) << r.out << r.err;
        return ConsoleText(r.out);
    }

    void Sim(const std::vector<std::string> &args)
    {
        ProcResult r = Zavsim(args);
        ASSERT_EQ(0, r.exitCode) << r.out << r.err;
    }

    std::string Dump()
    {
        ProcResult r = Zavsim({"dump"});
        EXPECT_EQ(0, r.exitCode) << r.err;
        return r.out;
    }

    // Writes a scenario file of this test and loads it.
    void LoadScenarioText(const std::string &json)
    {
        std::string path = statePath + ".scenario.json";
        ASSERT_TRUE(WriteFileText(path, json));
        LoadScenario(path);
        DeleteFileA(path.c_str());
    }
};

} // namespace e2e

#endif
