// Simulated time: the controller clock and the background operations that progress with it
// (initialization, consistency check, rebuild, copyback, patrol read, learn cycle), each ending
// with the state change a controller makes.
#include <algorithm>
#include <cmath>

#include "SimCore.h"

namespace sim {

// Moves an operation by dt seconds; returns the seconds left over after it completed (< 0: still running).
static double Progress(Op &op, double dt, double duration)
{
    double remaining = (1.0 - op.progress) * duration;
    if (dt < remaining - 1e-6) {
        op.progress += dt / duration;
        op.elapsed += dt;
        return -1.0;
    }
    op.progress = 1.0;
    op.elapsed += remaining;
    return dt > remaining ? dt - remaining : 0.0;
}

static void FinishRebuild(Controller &c, Pd &pd)
{
    pd.rebuild = Op();
    pd.state = PD_STATE_ONLINE;
    MarkPdChanged(pd);
    (void)c;
}

static void FinishCopyback(Controller &c, Pd &target)
{
    target.copyback = Op();
    for (Pd &src : c.pds) {
        if (src.copybackPartner != target.devId)
            continue;
        src.copybackPartner = DEV_NONE;
        int arm = -1;
        Array *a = ArrayOfPd(c, src.devId, &arm);
        if (a)
            a->arms[arm] = target.devId;
        src.state = PD_STATE_HOT_SPARE;
        src.spare = src.returnSpare == SPARE_DEDICATED && a ? SPARE_DEDICATED : SPARE_GLOBAL;
        if (src.spare == SPARE_DEDICATED)
            src.spareArrays.assign(1, a->ref);
        src.returnSpare = SPARE_NONE;
        MarkPdChanged(src);
        break;
    }
    target.state = PD_STATE_ONLINE;
    MarkPdChanged(target);
}

static bool PatrolCandidate(const Pd &pd)
{
    return pd.scsiType == 0 && (pd.state == PD_STATE_ONLINE || pd.state == PD_STATE_HOT_SPARE);
}

// A member drive is left out when every LD on its array is excluded from patrol read.
static bool ExcludedFromPatrol(Controller &c, const Pd &pd)
{
    Array *a = ArrayOfPd(c, pd.devId);
    if (!a)
        return false;
    for (Ld *ld : LdsOnArray(c, a->ref))
        if (std::find(c.patrol.excluded.begin(), c.patrol.excluded.end(), ld->target) == c.patrol.excluded.end())
            return false;
    return true;
}

void StartPatrol(Controller &c)
{
    c.patrol.run = Op();
    c.patrol.run.active = true;
    for (Pd &pd : c.pds) {
        pd.patrol = Op();
        pd.patrol.active = PatrolCandidate(pd) && !ExcludedFromPatrol(c, pd);
    }
}

static void StepPatrol(Controller &c, double dt)
{
    if (!c.patrol.run.active)
        return;
    if (Progress(c.patrol.run, dt, DUR_PATROL) >= 0) {
        c.patrol.run = Op();
        c.patrol.iterations++;
        for (Pd &pd : c.pds)
            pd.patrol = Op();
        return;
    }
    for (Pd &pd : c.pds)
        if (pd.patrol.active) {
            pd.patrol.progress = c.patrol.run.progress;
            pd.patrol.elapsed = c.patrol.run.elapsed;
        }
}

// One step of at most a few minutes, so that operations that end inside the step hand over to the
// next ones (a copyback that follows a rebuild) in a sensible order.
static void Step(State &s, Controller &c, double dt, double now)
{
    for (Ld &ld : c.lds) {
        if (ld.init.active && Progress(ld.init, dt, DUR_INIT) >= 0) {
            ld.init = Op();
            ld.consistent = true;
            ld.initState = 0;
        }
        if (ld.cc.active && Progress(ld.cc, dt, DUR_CC) >= 0) {
            ld.cc = Op();
            ld.consistent = true;
        }
    }
    for (Pd &pd : c.pds) {
        if (pd.rebuild.active && pd.state == PD_STATE_REBUILD && Progress(pd.rebuild, dt, DUR_REBUILD) >= 0)
            FinishRebuild(c, pd);
        if (pd.copyback.active && pd.state == PD_STATE_COPYBACK) {
            bool hasSource = false;
            for (const Pd &src : c.pds)
                hasSource = hasSource || src.copybackPartner == pd.devId;
            if (!hasSource) {
                pd.copyback = Op();
                pd.state = PD_STATE_UNCONF_GOOD;
                MarkPdChanged(pd);
            } else if (Progress(pd.copyback, dt, DUR_COPYBACK) >= 0) {
                FinishCopyback(c, pd);
            }
        }
    }
    StepPatrol(c, dt);
    if (c.patrol.mode == PR_MODE_AUTO && c.patrol.interval > 0 && c.patrol.nextExec > 0 && now >= c.patrol.nextExec) {
        if (!c.patrol.run.active)
            StartPatrol(c);
        while (c.patrol.nextExec <= now)
            c.patrol.nextExec += c.patrol.interval;
    }
    CacheBackup &cb = c.cacheBackup;
    if (cb.present && cb.learn.active && Progress(cb.learn, dt, DUR_LEARN) >= 0) {
        cb.learn = Op();
        cb.relCharge = 100;
        cb.remaining = cb.fullCapacity;
        cb.nextLearn = (uint32_t)now + cb.period;
    }
    if (cb.present && cb.mode == 0 && !cb.learn.active && cb.nextLearn > 0 && now >= cb.nextLearn) {
        cb.learn = Op();
        cb.learn.active = true;
        cb.nextLearn = (uint32_t)now + cb.period;
    }
    (void)s;
}

void AdvanceClock(State &s, double seconds)
{
    if (seconds <= 0)
        return;
    const double maxStep = 60.0;
    while (seconds > 0) {
        double dt = std::min(seconds, maxStep);
        s.clock.seconds += dt;
        for (Controller &c : s.ctrls)
            Step(s, c, dt, s.clock.seconds);
        seconds -= dt;
    }
}

bool CatchUpWallClock(State &s, int64_t unixNow)
{
    if (s.clock.speed <= 0)
        return false;
    if (s.clock.wallAnchor == 0 || unixNow < s.clock.wallAnchor) {
        s.clock.wallAnchor = unixNow;
        return true;
    }
    int64_t wall = unixNow - s.clock.wallAnchor;
    if (wall <= 0)
        return false;
    s.clock.wallAnchor = unixNow;
    AdvanceClock(s, (double)wall * s.clock.speed);
    return true;
}

} // namespace sim
