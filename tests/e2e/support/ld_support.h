// Helpers of the LD creation end-to-end tests: scenario files written by the test, the simulator's
// state read back from `zavsim dump`, and a temporary pattern file in the installation folder.
#ifndef ZAV_TESTS_E2E_SUPPORT_LD_SUPPORT_H
#define ZAV_TESTS_E2E_SUPPORT_LD_SUPPORT_H

#include <regex>
#include <string>
#include <vector>

#include "e2e.h"

namespace e2e {

// Top-level objects of the first JSON array named key in text.
inline std::vector<std::string> JsonArrayObjects(const std::string &text, const std::string &key)
{
    std::vector<std::string> out;
    size_t at = text.find("\"" + key + "\": [");
    if (at == std::string::npos)
        return out;
    int depth = 0;
    size_t start = 0;
    for (size_t p = text.find('[', at) + 1; p < text.size(); ++p) {
        char c = text[p];
        if (c == '"') {
            size_t close = text.find('"', p + 1);
            if (close == std::string::npos)
                break;
            p = close;
        } else if (c == '{' || c == '[') {
            if (depth == 0)
                start = p;
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0)
                break;
            if (--depth == 0 && c == '}')
                out.push_back(text.substr(start, p - start + 1));
        }
    }
    return out;
}

// The first number stored under key in a JSON object text; -1 when absent.
inline long long JsonNumber(const std::string &object, const std::string &key)
{
    std::smatch m;
    std::regex re("\"" + key + "\": (-?[0-9]+)");
    if (!std::regex_search(object, m, re))
        return -1;
    return std::stoll(m[1].str());
}

inline bool JsonFlag(const std::string &object, const std::string &key)
{
    return object.find("\"" + key + "\": true") != std::string::npos;
}

// The simulated controller c as `zavsim dump` shows it.
struct SimController {
    std::vector<std::string> pds, arrays, lds;
};

inline SimController DumpController(int c = 0)
{
    ProcResult r = RunZavsim({"dump"});
    std::vector<std::string> ctrls = JsonArrayObjects(r.out, "ctrls");
    SimController out;
    if ((int)ctrls.size() <= c)
        return out;
    out.pds = JsonArrayObjects(ctrls[c], "pds");
    out.arrays = JsonArrayObjects(ctrls[c], "arrays");
    out.lds = JsonArrayObjects(ctrls[c], "lds");
    return out;
}

inline std::string FindBy(const std::vector<std::string> &objects, const std::string &key, long long value)
{
    for (const std::string &o : objects)
        if (JsonNumber(o, key) == value)
            return o;
    return "";
}

inline long long PdState(const SimController &c, int slot) { return JsonNumber(FindBy(c.pds, "slot", slot), "state"); }

// Slots of the drives of an LD, in span and arm order.
inline std::vector<int> LdSlots(const SimController &c, int target)
{
    std::vector<int> slots;
    for (const std::string &span : JsonArrayObjects(FindBy(c.lds, "target", target), "spans")) {
        std::string array = FindBy(c.arrays, "ref", JsonNumber(span, "arrayRef"));
        std::smatch m;
        std::string homes = array.substr(array.find("\"homeSlots\""));
        homes = homes.substr(0, homes.find(']'));
        std::regex num("[0-9]+");
        for (std::sregex_iterator it(homes.begin(), homes.end(), num), end; it != end; ++it)
            slots.push_back(std::stoi(it->str()));
    }
    return slots;
}

// Blocks of one arm of each span of the LD (the LD's share of each drive).
inline long long LdBlocksPerArm(const SimController &c, int target)
{
    std::vector<std::string> spans = JsonArrayObjects(FindBy(c.lds, "target", target), "spans");
    return spans.empty() ? -1 : JsonNumber(spans[0], "blocks");
}

inline int CountOf(const std::string &text, const std::string &part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// Console text with the run-time's CR LF line ends turned into LF.
inline std::string Lf(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

// Journal lines of packets of one command type and number.
inline int JournalCount(const std::string &journal, int type, int cmd)
{
    return CountOf(journal, " type=" + std::to_string(type) + " cmd=" + std::to_string(cmd) + " ");
}

// Fixture with helpers to write scenarios and to replace the installed pattern file for a test.
class LdSimTest : public SimTest {
protected:
    std::string scenarioPath;
    std::string patternBackup;
    bool patternReplaced = false;

    void TearDown() override
    {
        if (!scenarioPath.empty())
            DeleteFileA(scenarioPath.c_str());
        if (patternReplaced)
            WriteFileText(PatternPath(), patternBackup);
        SimTest::TearDown();
    }

    void LoadJson(const std::string &json)
    {
        scenarioPath = TempPath("ld_scenario.json");
        ASSERT_TRUE(WriteFileText(scenarioPath, json));
        LoadScenario(scenarioPath);
    }

    // One controller with the given extra controller fields, drive groups and LDs.
    void LoadController(const std::string &fields, const std::string &drives, const std::string &lds = "")
    {
        LoadJson("{\"name\":\"ld-test\",\"controllers\":[{\"product\":\"LSI MegaRAID SAS 9260-8i\","
                 "\"cache_backup\":{\"type\":5},\"enclosures\":[{\"devId\":252,\"slots\":16}]" +
                 (fields.empty() ? "" : "," + fields) + ",\"drives\":[" + drives + "],\"lds\":[" + lds + "]}]}");
    }

    static std::string PatternPath() { return ProductRegValue("InstallDir") + "confpat1.csv"; }

    void UsePattern(const std::string &text)
    {
        if (!patternReplaced)
            patternBackup = ReadFileText(PatternPath());
        patternReplaced = true;
        ASSERT_TRUE(WriteFileText(PatternPath(), text));
    }
};

} // namespace e2e

#endif
