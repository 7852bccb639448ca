// Page-logic fixture of the graphical tool: its own simulator state (scenarios and faults run
// in-process), the real storelib.dll, and a scripted message-box responder. A box that the test
// did not announce, or an announced box that never came, fails the test.
#ifndef ZAV_TESTS_GUI_UNIT_GUI_FIXTURE_H
#define ZAV_TESTS_GUI_UNIT_GUI_FIXTURE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimCore.h"
#include "sim/sim_paths.h"
#include "common/ContData.h"
#include "common/StoreLib.h"
#include "gui/GuiState.h"
#include "gui/MainLogic.h"
#include "gui/Utility.h"
#include "gui/resource.h"

namespace guitest {

struct ExpectedBox {
    uint16_t textId;
    uint16_t captionId;
    int answer;
};

struct SeenBox {
    int kind;
    uint16_t textId;
    uint16_t captionId;
    std::string text;
    std::string caption;
};

class BoxScript {
public:
    std::deque<ExpectedBox> expected;
    std::vector<SeenBox> seen;

    static BoxScript *&Current()
    {
        static BoxScript *current = nullptr;
        return current;
    }

    static int Respond(const BoxRequest *r)
    {
        BoxScript *s = Current();
        SeenBox box = {r->kind, r->textId, r->captionId, r->text ? r->text : "", r->caption ? r->caption : ""};
        s->seen.push_back(box);
        if (s->expected.empty()) {
            ADD_FAILURE() << "unexpected box " << r->textId << " (caption " << r->captionId << "): " << box.text;
            return BOX_CANCEL;
        }
        ExpectedBox want = s->expected.front();
        s->expected.pop_front();
        EXPECT_EQ(want.textId, r->textId) << "box text: " << box.text;
        EXPECT_EQ(want.captionId, r->captionId) << "box text: " << box.text;
        return want.answer;
    }
};

class GuiLogicTest : public ::testing::Test {
protected:
    sim::Paths paths;
    BoxScript boxes;

    void SetUp() override
    {
        paths = simtest::UseTestSimPaths("zavgui_t");
        GuiStateReset();
        memset(g_records, 0, sizeof(g_records));
        BoxScript::Current() = &boxes;
        SetBoxResponder(BoxScript::Respond);
    }

    void TearDown() override
    {
        for (const ExpectedBox &b : boxes.expected)
            ADD_FAILURE() << "box " << b.textId << " (caption " << b.captionId << ") was expected but not shown";
        SetBoxResponder(nullptr);
        BoxScript::Current() = nullptr;
        UnloadStoreLibrary();
        FreeContData(g_records, GUI_MAX_CONTROLLERS);
        Cleanup();
    }

    void Cleanup() { simtest::RemoveSimFiles(paths); }

    void ExpectBox(uint16_t textId, uint16_t captionId, int answer = BOX_OK)
    {
        boxes.expected.push_back({textId, captionId, answer});
    }

    void Sim(const std::vector<std::string> &args)
    {
        std::string out, err;
        ASSERT_EQ(0, sim::ZavsimRun(args, paths, out, err)) << err;
    }

    std::string SimOut(const std::vector<std::string> &args)
    {
        std::string out, err;
        EXPECT_EQ(0, sim::ZavsimRun(args, paths, out, err)) << err;
        return out;
    }

    std::string Journal()
    {
        std::ifstream in(paths.journal, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    void ClearJournal() { Sim({"journal", "clear"}); }

    // Journal lines of one command name.
    std::vector<std::string> Sent(const std::string &command)
    {
        std::vector<std::string> lines;
        std::istringstream in(Journal());
        std::string line;
        while (std::getline(in, line))
            if (line.compare(0, command.size() + 1, command + " ") == 0)
                lines.push_back(line);
        return lines;
    }

    // Loads the scenario and starts the tool's controller layer as the main window does.
    void Start(const std::string &scenario)
    {
        Sim({"load", scenario});
        ASSERT_EQ(1, InitControllers());
        ClearJournal();
    }

    size_t BoxesShown() const { return boxes.seen.size(); }
};

} // namespace guitest

#endif
