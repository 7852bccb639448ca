// End to end: start-up of zavgui, its title and tabs, the single instance, and the start-up
// refusals with their fatal boxes.
#include "gui_session.h"

using namespace guie2e;

TEST_F(GuiSession, StartsWithTitleTabsAndRefusesASecondInstance)
{
    Sim({"load", "default"});
    StartGui();
    EXPECT_EQ("Main - Norvane RAID Vantrel ver 1.0.0.1", zauto::WindowText(gui.main));

    zauto::Target target(gui.Pid());
    ASSERT_TRUE(target.ok());
    std::vector<std::string> tabs = zauto::TabTexts(target, Tab());
    std::vector<std::string> want = {"Dashboard", "Create LD", "Delete LD", "Hot Spare", "Restore LD", "Maintenance"};
    EXPECT_EQ(want, tabs);
    EXPECT_EQ(0, zauto::TabSelection(Tab()));

    // Switching tabs as a user does shows the page of the tab.
    HWND dashboard = VisiblePage();
    ASSERT_TRUE(zauto::ClickTab(target, Tab(), 5));
    EXPECT_TRUE(WaitFor([&] { return VisiblePage() != NULL && VisiblePage() != dashboard; }));
    ASSERT_TRUE(zauto::ClickTab(target, Tab(), 0));
    EXPECT_TRUE(WaitFor([&] { return VisiblePage() == dashboard; }));

    // A second start: box 318 under the product caption, return value 0, no packet sent.
    WaitJournalQuiet();
    Sim({"journal", "clear"});
    GuiProcess second;
    ASSERT_TRUE(second.Start());
    AnswerBox(second.Pid(), "Norvane RAID Vantrel", "ZAV GUI is already running.");
    EXPECT_EQ(0, second.WaitExit(30000));
    second.Stop();
    Sleep(1000);
    EXPECT_EQ("", Journal());
}

TEST_F(GuiSession, StartUpRefusalsShowTheirBoxAndEnd)
{
    struct Case {
        const char *scenario;
        const char *text;
    } cases[] = {
        {"five-controllers", "The number of RAID controller is over 4.\r\nQuits the application."},
        {"no-controller", "No RAID controller is found.\nQuits the application."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scenario);
        Sim({"load", c.scenario});
        GuiProcess run;
        ASSERT_TRUE(run.Start());
        AnswerBox(run.Pid(), "Norvane RAID Vantrel", c.text);
        EXPECT_EQ(1, run.WaitExit(30000)) << "the main dialog closed itself";
        run.Stop();
    }
}
