// Log-utility stand-in: renders the adapter information, the firmware terminal log and the
// adapter event log of a simulated controller as plain text.
#include "sim/megacli/megacli_reports.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "common/storelib_layout.h"
#include "sim/megacli/megacli_state.h"
#include "SimCore.h"

namespace megacli {

namespace {

std::string GbText(uint64_t blocks)
{
    char text[32];
    snprintf(text, sizeof(text), "%0.3f GB", static_cast<double>(blocks >> 11) / 1024.0);
    return text;
}

std::string Percent(double fraction)
{
    int value = static_cast<int>(fraction * 100.0);
    return std::to_string(value < 0 ? 0 : value > 100 ? 100 : value) + "%";
}

std::string Hex(unsigned value, int width)
{
    char text[16];
    snprintf(text, sizeof(text), "%0*X", width, value);
    return text;
}

std::string EnabledText(bool on) { return on ? "Enabled" : "Disabled"; }

void Row(std::ostringstream &out, const std::string &key, const std::string &value)
{
    out << "  " << key << std::string(key.size() < 26 ? 26 - key.size() : 1, ' ') << ": " << value << "\n";
}

std::string RaidLevelsText(uint32_t mask)
{
    static const struct {
        uint32_t bit;
        const char *name;
    } levels[] = {{CI_RAID_BIT_0, "0"}, {CI_RAID_BIT_1, "1"}, {CI_RAID_BIT_5, "5"}, {CI_RAID_BIT_6, "6"},
                  {CI_RAID_BIT_10, "10"}};
    std::string text;
    for (const auto &l : levels) {
        if (mask & l.bit)
            text += (text.empty() ? "RAID" : ", RAID") + std::string(l.name);
    }
    return text.empty() ? "None" : text;
}

std::string StripeText(int code) { return std::to_string((512u << code) / 1024u) + " KB"; }

std::string PatrolModeText(int mode)
{
    return mode == 0 ? "Automatic" : mode == 1 ? "Manual" : "Disabled";
}

std::string PdName(const sim::Pd &pd)
{
    return "PD " + std::to_string(pd.devId) + " (enclosure " + std::to_string(pd.enclId) + ", slot " +
           std::to_string(pd.slot) + ")";
}

std::string PdDescription(const sim::Pd &pd)
{
    return pd.vendor + " " + pd.product + " " + pd.revision + ", " + GbText(pd.coercedBlocks) + ", " +
           (pd.iface == PD_IF_SATA ? "SATA" : "SAS") + " " + (pd.media == 1 ? "SSD" : "HDD");
}

std::string LdName(const sim::Ld &ld)
{
    return "LD " + std::to_string(ld.target) + (ld.name.empty() ? "" : " \"" + ld.name + "\"");
}

// One entry of the synthesised event log.
struct Event {
    const char *severity;
    std::string text;
};

std::vector<Event> ControllerEvents(sim::Controller &ctrl)
{
    std::vector<Event> events;
    events.push_back({"Information", "Controller firmware " + ctrl.fwVersion + " started"});
    events.push_back({"Information", "Controller " + ctrl.product + " serial " + ctrl.serial + " online"});
    if (ctrl.memCorrectable > 0)
        events.push_back({"Warning", "Correctable memory errors: " + std::to_string(ctrl.memCorrectable)});
    if (ctrl.memUncorrectable > 0)
        events.push_back({"Critical", "Uncorrectable memory errors: " + std::to_string(ctrl.memUncorrectable)});
    const sim::CacheBackup &cb = ctrl.cacheBackup;
    if (cb.present) {
        events.push_back({"Information", "Cache backup unit " + cb.deviceName + " present"});
        if (cb.learn.active)
            events.push_back({"Information", "Cache backup unit learn cycle in progress"});
        if (cb.learnFailed)
            events.push_back({"Warning", "Cache backup unit learn cycle failed"});
    } else {
        events.push_back({"Warning", "Cache backup unit not present"});
    }
    for (const sim::Enclosure &encl : ctrl.enclosures)
        events.push_back({"Information", "Enclosure " + std::to_string(encl.devId) + " (" + encl.vendor + " " +
                                             encl.product + ") discovered"});
    for (const sim::Pd &pd : ctrl.pds) {
        events.push_back({"Information", PdName(pd) + " inserted: " + PdDescription(pd)});
        if (pd.state != PD_STATE_UNCONF_GOOD) {
            bool bad = pd.state == PD_STATE_FAILED || pd.state == PD_STATE_UNCONF_BAD || pd.state == PD_STATE_OFFLINE;
            events.push_back({bad ? "Critical" : "Information",
                              "State change on " + PdName(pd) + " to " + PdStateName(pd.state)});
        }
        if (pd.predFail > 0)
            events.push_back({"Warning", "Predictive failure reported by " + PdName(pd) + " (count " +
                                             std::to_string(pd.predFail) + ")"});
        if (pd.mediaErrors > 0)
            events.push_back({"Warning", "Media errors on " + PdName(pd) + ": " + std::to_string(pd.mediaErrors)});
        if (pd.foreign)
            events.push_back({"Warning", "Foreign configuration found on " + PdName(pd)});
        if (pd.rebuild.active)
            events.push_back({"Information", "Rebuild on " + PdName(pd) + " in progress, " +
                                                 Percent(pd.rebuild.progress) + " done"});
        if (pd.copyback.active)
            events.push_back({"Information", "Copyback to " + PdName(pd) + " in progress, " +
                                                 Percent(pd.copyback.progress) + " done"});
    }
    for (const sim::Ld &ld : ctrl.lds) {
        events.push_back({"Information", LdName(ld) + " created: " + RaidLevelName(ld) + ", " + GbText(LdBlocks(ld))});
        int health = sim::LdState(ctrl, ld);
        if (health != LD_STATE_OPTIMAL)
            events.push_back({health == LD_STATE_OFFLINE ? "Fatal" : "Critical",
                              "State change on " + LdName(ld) + " to " + LdStateName(health)});
        if (ld.init.active)
            events.push_back({"Information", "Initialization on " + LdName(ld) + " in progress, " +
                                                 Percent(ld.init.progress) + " done"});
        if (ld.cc.active)
            events.push_back({"Information", "Consistency check on " + LdName(ld) + " in progress, " +
                                                 Percent(ld.cc.progress) + " done"});
        if (!ld.consistent)
            events.push_back({"Warning", LdName(ld) + " is not consistent"});
        if (ld.badBlocks)
            events.push_back({"Warning", LdName(ld) + " has bad blocks"});
    }
    if (ctrl.patrol.run.active)
        events.push_back({"Information", "Patrol read in progress, " + Percent(ctrl.patrol.run.progress) + " done"});
    if (!ctrl.foreign.empty())
        events.push_back({"Warning", std::to_string(ctrl.foreign.size()) + " foreign configuration(s) detected"});
    return events;
}

} // namespace

std::string AdapterInfoReport(sim::State &state, sim::Controller &ctrl, unsigned number)
{
    std::ostringstream out;
    out << "Adapter #" << number << "\n\n Versions\n";
    Row(out, "Product Name", ctrl.product);
    Row(out, "Serial Number", ctrl.serial);
    Row(out, "Firmware Package", ctrl.package);
    Row(out, "Firmware Version", ctrl.fwVersion + " (" + ctrl.fwDate + " " + ctrl.fwTime + ")");
    Row(out, "BIOS Version", ctrl.biosVersion);
    Row(out, "Driver", ctrl.driverName + " " + ctrl.driverVersion + " (" + ctrl.driverDate + ")");
    Row(out, "Storage Library", state.libMajor + "." + state.libMinor);

    out << "\n Hardware\n";
    char pci[64];
    snprintf(pci, sizeof(pci), "bus %d, device %d, function %d", ctrl.pciBus, ctrl.pciDevice, ctrl.pciFunction);
    Row(out, "PCI Address", pci);
    Row(out, "PCI Ids", Hex(ctrl.vendorId, 4) + ":" + Hex(ctrl.deviceId, 4) + " subsystem " +
                            Hex(ctrl.subVendorId, 4) + ":" + Hex(ctrl.subDeviceId, 4));
    Row(out, "Memory Size", std::to_string(ctrl.memoryMb) + " MB");
    Row(out, "Memory Errors", "correctable " + std::to_string(ctrl.memCorrectable) + ", uncorrectable " +
                                  std::to_string(ctrl.memUncorrectable));
    Row(out, "Ports", std::to_string(ctrl.portCount));
    Row(out, "Alarm", ctrl.alarm ? "Present" : "Absent");
    Row(out, "Controller Time", DateTimeText(sim::Now(state)));

    out << "\n Capabilities\n";
    Row(out, "RAID Levels", RaidLevelsText(ctrl.raidMask));
    Row(out, "Stripe Sizes", StripeText(ctrl.stripeMin) + " to " + StripeText(ctrl.stripeMax));
    Row(out, "Max LDs", std::to_string(ctrl.maxLds));
    Row(out, "Max Hot Spares", std::to_string(ctrl.maxSpares));
    Row(out, "Snapshot", EnabledText(ctrl.snapshot));
    Row(out, "CacheCade", EnabledText(ctrl.cachecade));
    Row(out, "FastPath", EnabledText(ctrl.fastpath));

    out << "\n Settings\n";
    Row(out, "Rebuild Rate", std::to_string(ctrl.props.rebuildRate) + "%");
    Row(out, "Patrol Read Rate", std::to_string(ctrl.props.patrolRate) + "%");
    Row(out, "Background Init Rate", std::to_string(ctrl.props.bgiRate) + "%");
    Row(out, "Consistency Check Rate", std::to_string(ctrl.props.ccRate) + "%");
    Row(out, "Reconstruction Rate", std::to_string(ctrl.props.reconRate) + "%");
    Row(out, "Cache Flush Interval", std::to_string(ctrl.props.flushInterval) + " s");
    Row(out, "Alarm Setting", EnabledText(ctrl.props.alarmEnable != 0));
    Row(out, "Auto Rebuild", EnabledText(ctrl.props.autoRebuildDisabled == 0));
    Row(out, "Patrol Read", PatrolModeText(ctrl.patrol.mode) + ", every " +
                                std::to_string(ctrl.patrol.interval / 3600) + " h, next at " +
                                DateTimeText(ctrl.patrol.nextExec));

    out << "\n Devices\n";
    unsigned pdCounts[4] = {0, 0, 0, 0}; // online, spare, unconfigured, failed or other
    for (const sim::Pd &pd : ctrl.pds) {
        if (pd.state == PD_STATE_ONLINE || pd.state == PD_STATE_REBUILD || pd.state == PD_STATE_COPYBACK)
            pdCounts[0]++;
        else if (pd.state == PD_STATE_HOT_SPARE)
            pdCounts[1]++;
        else if (pd.state == PD_STATE_UNCONF_GOOD)
            pdCounts[2]++;
        else
            pdCounts[3]++;
    }
    unsigned ldCounts[4] = {0, 0, 0, 0};
    for (const sim::Ld &ld : ctrl.lds)
        ldCounts[sim::LdState(ctrl, ld)]++;
    Row(out, "Enclosures", std::to_string(ctrl.enclosures.size()));
    Row(out, "Physical Drives", std::to_string(ctrl.pds.size()) + " (online " + std::to_string(pdCounts[0]) +
                                    ", hot spare " + std::to_string(pdCounts[1]) + ", unconfigured good " +
                                    std::to_string(pdCounts[2]) + ", failed or bad " + std::to_string(pdCounts[3]) +
                                    ")");
    Row(out, "Logical Drives", std::to_string(ctrl.lds.size()) + " (optimal " +
                                   std::to_string(ldCounts[LD_STATE_OPTIMAL]) + ", degraded " +
                                   std::to_string(ldCounts[LD_STATE_DEGRADED]) + ", partially degraded " +
                                   std::to_string(ldCounts[LD_STATE_PART_DEGRADED]) + ", offline " +
                                   std::to_string(ldCounts[LD_STATE_OFFLINE]) + ")");
    Row(out, "Foreign Configurations", std::to_string(ctrl.foreign.size()));

    out << "\n Cache Backup Unit\n";
    const sim::CacheBackup &cb = ctrl.cacheBackup;
    Row(out, "Present", cb.present ? "Yes" : "No");
    if (cb.present) {
        Row(out, "Device", cb.manufacturer + " " + cb.deviceName + " (" + cb.chemistry + ")");
        Row(out, "Voltage", std::to_string(cb.voltage) + " mV");
        Row(out, "Temperature", std::to_string(cb.temperature) + " C");
        Row(out, "Capacity", std::to_string(cb.remaining) + " of " + std::to_string(cb.fullCapacity) + " mAh");
        Row(out, "Learn Cycle", cb.learn.active ? "In progress, " + Percent(cb.learn.progress) + " done"
                                                : cb.learnFailed ? "Failed" : "Idle");
    }
    out << "\nExit Code: 0x00\n";
    return out.str();
}

std::string TermLogReport(sim::State &state, sim::Controller &ctrl, unsigned number)
{
    std::ostringstream out;
    unsigned tick = 0;
    auto line = [&](const std::string &text) { out << "T" << tick++ << ": " << text << "\n"; };
    out << "Adapter #" << number << " firmware terminal log\n";
    line("Firmware " + ctrl.fwVersion + " built " + ctrl.fwDate + " " + ctrl.fwTime + ", package " + ctrl.package);
    line("Board " + ctrl.product + " serial " + ctrl.serial + ", memory " + std::to_string(ctrl.memoryMb) + " MB");
    line("Host interface PCI " + Hex(ctrl.vendorId, 4) + ":" + Hex(ctrl.deviceId, 4) + ", " +
         std::to_string(ctrl.portCount) + " ports");
    for (const sim::Enclosure &encl : ctrl.enclosures)
        line("Enclosure " + std::to_string(encl.devId) + " index " + std::to_string(encl.index) + ": " + encl.vendor +
             " " + encl.product + " rev " + encl.revision + ", " + std::to_string(encl.slots) + " slots, " +
             encl.connector);
    for (const sim::Pd &pd : ctrl.pds)
        line(PdName(pd) + ": " + PdDescription(pd) + ", " + PdStateName(pd.state) + ", temperature " +
             std::to_string(pd.temperature) + " C");
    for (const sim::Ld &ld : ctrl.lds)
        line(LdName(ld) + ": " + RaidLevelName(ld) + ", " + std::to_string(ld.spanDepth) + " span(s) of " +
             std::to_string(ld.drivesPerSpan) + ", stripe " + StripeText(ld.stripe) + ", " +
             LdStateName(sim::LdState(ctrl, ld)) + (ld.consistent ? ", consistent" : ", not consistent"));
    for (const sim::Pd &pd : ctrl.pds) {
        if (pd.rebuild.active)
            line("Rebuild " + PdName(pd) + ": " + Percent(pd.rebuild.progress));
        if (pd.copyback.active)
            line("Copyback " + PdName(pd) + ": " + Percent(pd.copyback.progress));
    }
    for (const sim::Ld &ld : ctrl.lds) {
        if (ld.init.active)
            line("Initialization " + LdName(ld) + ": " + Percent(ld.init.progress));
        if (ld.cc.active)
            line("Consistency check " + LdName(ld) + ": " + Percent(ld.cc.progress));
    }
    line("Patrol read " + PatrolModeText(ctrl.patrol.mode) + (ctrl.patrol.run.active ? ", running" : ", idle") +
         ", iterations " + std::to_string(ctrl.patrol.iterations));
    line(std::string("Cache backup unit ") + (ctrl.cacheBackup.present ? "present" : "absent"));
    line("Controller time " + DateTimeText(sim::Now(state)));
    return out.str();
}

std::string EventLogReport(sim::State &state, sim::Controller &ctrl, unsigned number)
{
    std::vector<Event> events = ControllerEvents(ctrl);
    double now = sim::Now(state);
    std::ostringstream out;
    out << "Adapter #" << number << " event log: " << events.size() << " events\n";
    for (size_t i = 0; i < events.size(); i++) {
        double at = now - static_cast<double>(events.size() - 1 - i);
        out << "\nSequence    : " << (i + 1) << "\n";
        out << "Time        : " << DateTimeText(at) << "\n";
        out << "Severity    : " << events[i].severity << "\n";
        out << "Description : " << events[i].text << "\n";
    }
    return out.str();
}

} // namespace megacli
