// The main window's routing table: every message from every page.

#include "TestSupport.h"
#include "WizardFlow.h"

#include <gtest/gtest.h>

namespace calveno::test {
namespace {

TEST(WizardFlow, RoutesEveryMessageOfTheTable)
{
    struct Case {
        int message;
        int page;
        std::uint16_t topology;
        int readerBefore;
        Route expected;
        int readerAfter;
    };
    const Route toChoice{RouteAction::OpenPage, kPageChoice, 0};
    const Route toReader{RouteAction::OpenPage, kPageReader, 0};
    const Route toPort{RouteAction::OpenPage, kPageSerialPort, 0};
    const Route toSummary{RouteAction::OpenPage, kPageSummary, 0};
    const Route finished{RouteAction::EndProgram, 0, 1};
    const Route abandoned{RouteAction::EndProgram, 0, -1};
    const Route error{RouteAction::NavigationError, 0, 0};
    const Case cases[] = {
        {WM_WIZARD_NEXT, kPageChoice, kTopologyMonofente, 0, toReader, 1},
        {WM_WIZARD_NEXT, kPageChoice, kTopologyDeuxPorts, 2, toReader, 1},
        {WM_WIZARD_NEXT, kPageReader, kTopologyMonofente, 1, toSummary, 1},
        {WM_WIZARD_NEXT, kPageReader, kTopologyBifente, 1, toSummary, 1},
        {WM_WIZARD_NEXT, kPageReader, kTopologyChaines, 1, toReader, 2},
        {WM_WIZARD_NEXT, kPageReader, kTopologyDeuxPorts, 1, toReader, 2},
        {WM_WIZARD_NEXT, kPageReader, kTopologyDeuxPorts, 2, toSummary, 2},
        {WM_WIZARD_NEXT, kPageSerialPort, kTopologyDeuxPorts, 2, toReader, 2},
        {WM_WIZARD_NEXT, kPageSummary, kTopologyMonofente, 1, finished, 1},
        {WM_WIZARD_BACK, kPageSerialPort, kTopologyChaines, 2, toReader, 2},
        {WM_WIZARD_BACK, kPageReader, kTopologyChaines, 2, toReader, 1},
        {WM_WIZARD_BACK, kPageReader, kTopologyChaines, 1, toChoice, 1},
        {WM_WIZARD_BACK, kPageReader, kTopologyMonofente, 1, toChoice, 1},
        {WM_WIZARD_BACK, kPageSummary, kTopologyDeuxPorts, 2, toReader, 2},
        {WM_WIZARD_BACK, kPageSummary, kTopologyMonofente, 1, toReader, 1},
        {WM_WIZARD_BACK, kPageChoice, kTopologyMonofente, 0, toChoice, 0},
        {WM_WIZARD_PORT, kPageReader, kTopologyDeuxPorts, 2, toPort, 2},
        {kMessageClose, kPageChoice, kTopologyMonofente, 0, abandoned, 0},
        {kMessageClose, kPageReader, kTopologyMonofente, 1, abandoned, 1},
        {kMessageClose, kPageSerialPort, kTopologyMonofente, 1, abandoned, 1},
        {kMessageClose, kPageSummary, kTopologyMonofente, 1, abandoned, 1},
        {kMessageClose, 4242, kTopologyMonofente, 1, abandoned, 1},
        // Page ids and messages the table does not hold.
        {WM_WIZARD_NEXT, 4242, kTopologyMonofente, 1, error, 1},
        {WM_WIZARD_BACK, 0, kTopologyMonofente, 1, error, 1},
        {WM_WIZARD_PORT, kPageChoice, kTopologyMonofente, 0, error, 0},
        {WM_WIZARD_PORT, kPageSummary, kTopologyMonofente, 1, error, 1},
        {1027, kPageReader, kTopologyMonofente, 1, error, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "message " << c.message << " from " << c.page << ", topology "
                                        << c.topology << ", reader " << c.readerBefore);
        WizardSettings s = settingsFor(c.topology);
        s.CurrentReader = c.readerBefore;
        EXPECT_EQ(routeMessage(s, c.message, c.page), c.expected);
        EXPECT_EQ(s.CurrentReader, c.readerAfter);
    }
}

TEST(WizardFlow, TwoReaderWalkVisitsEachReaderOnceEachWay)
{
    WizardSettings s = settingsFor(kTopologyChaines);
    std::vector<int> pages;
    int page = kPageChoice;
    for (int message :
         {WM_WIZARD_NEXT, WM_WIZARD_NEXT, WM_WIZARD_NEXT, WM_WIZARD_BACK, WM_WIZARD_BACK, WM_WIZARD_BACK}) {
        const Route route = routeMessage(s, message, page);
        ASSERT_EQ(route.action, RouteAction::OpenPage);
        page = route.page;
        pages.push_back(page * 10 + s.CurrentReader);
    }
    EXPECT_EQ(pages, (std::vector<int>{11201, 11202, 11212, 11202, 11201, 11221}));
}

}  // namespace
}  // namespace calveno::test
