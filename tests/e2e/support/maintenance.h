// Support of the end-to-end tests of the LD, PD and snapshot maintenance commands: scenario files
// written by the test, the simulator's state and journal as text, console output without CRs.
#ifndef ZAV_TESTS_E2E_SUPPORT_MAINTENANCE_H
#define ZAV_TESTS_E2E_SUPPORT_MAINTENANCE_H

#include "e2e.h"

#include <string>
#include <vector>

namespace e2e {

// Console text with every carriage return removed (reports end their lines in CR LF).
inline std::string NoCr(const std::string &text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

inline int CountOf(const std::string &text, const std::string &what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// The installation folder (InstallDir), where the construct-info files stand beside its name.
inline std::string ConstructInfoFile(int contNo)
{
    return ProductRegValue("InstallDir") + "_snapshot" + std::to_string(contNo) + ".csv";
}

class MaintenanceTest : public SimTest {
protected:
    std::string scenarioPath;

    void TearDown() override
    {
        if (!scenarioPath.empty())
            DeleteFileA(scenarioPath.c_str());
        DeleteFileA(ConstructInfoFile(0).c_str());
        DeleteFileA(ConstructInfoFile(1).c_str());
        SimTest::TearDown();
    }

    // Loads a scenario given as JSON text.
    void LoadJson(const std::string &json)
    {
        scenarioPath = statePath + ".scenario.json";
        ASSERT_TRUE(WriteFileText(scenarioPath, json));
        LoadScenario(scenarioPath);
    }

    // Runs zavcli with scripted answers; the journal then holds only this run's packets.
    ProcResult Run(const std::vector<std::string> &args, const std::string &answers = "")
    {
        ClearJournal();
        ProcResult r = Zavcli(args, answers);
        r.out = NoCr(r.out);
        return r;
    }

    std::string Show() { return Zavsim({"show"}).out; }
    bool Sent(const std::string &operation) { return Journal().find("\n" + operation + " ") != std::string::npos ||
                                                     Journal().rfind(operation + " ", 0) == 0; }
    // The line of the simulator's LD table for one LD.
    std::string LdRow(int target)
    {
        std::string show = Show();
        size_t table = show.find("  LDs:");
        std::string key = "\n    " + std::to_string(target) + " ";
        size_t at = show.find(key, table);
        if (table == std::string::npos || at == std::string::npos)
            return "";
        size_t end = show.find('\n', at + 1);
        return show.substr(at + 1, end - at - 1);
    }
    // The line of the simulator's PD table for one slot.
    std::string PdRow(int slot)
    {
        std::string show = Show();
        size_t table = show.find("  PDs:");
        std::string key = "\n    " + std::to_string(slot) + " ";
        size_t at = show.find(key, table);
        if (table == std::string::npos || at == std::string::npos)
            return "";
        size_t end = show.find('\n', at + 1);
        return show.substr(at + 1, end - at - 1);
    }
};

// A CacheCade-capable controller with two LDs on one RAID5 group (LD0, LD1), a RAID0 LD (LD2),
// a RAID1 LD (LD3), a CacheCade LD on an SSD (LD4); unconfigured: HDDs in slots 6 and 7, an SSD in
// slot 9, a small HDD in slot 10 and a SATA HDD in slot 11.
inline const char *MixedScenario()
{
    return R"({
  "name": "mixed",
  "clock": "2026-01-15 09:00:00",
  "controllers": [
    {
      "id": 0,
      "product": "LSI MegaRAID SAS 9265-8i",
      "cachecade": true,
      "cache_backup": { "type": 4 },
      "enclosures": [ { "devId": 252, "slots": 12 } ],
      "drives": [
        { "slots": "0-7", "size_gb": 278.875 },
        { "slots": "8-9", "size_gb": 185.75, "media": "ssd" },
        { "slots": "10", "size_gb": 100 },
        { "slots": "11", "size_gb": 278.875, "iface": "sata" }
      ],
      "lds": [
        { "raid": 5, "slots": [0, 1, 2], "count": 2, "names": ["Alpha", "Beta"] },
        { "raid": 0, "slots": [3], "name": "Scratch" },
        { "raid": 1, "slots": [4, 5], "name": "Mirror" },
        { "raid": 0, "slots": [8], "name": "Cache", "cachecade": true }
      ]
    }
  ]
})";
}

} // namespace e2e

#endif
