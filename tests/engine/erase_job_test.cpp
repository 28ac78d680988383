// The erase job on the engine's virtual drives, seen from a client
// process: its events, the media it refuses, and the discs it leaves.
#include <gtest/gtest.h>
#include "job_client.h"
#include "event_sequence.h"
#include <string>
#include <vector>

namespace {

TEST_F(EngineJob, EraseQuickOrFullBlanksARewritableDisc)
{
    for (unsigned full : {0u, 1u, 2u}) {
        SCOPED_TRACE(full);
        Insert(3);
        ASSERT_EQ(0u, Burn(FixtureTree()));
        ASSERT_EQ(2u, TrackCount());
        const size_t before = sink->Events().size();
        EXPECT_EQ(0u, Erase(full));
        std::vector<unsigned> messages;
        std::vector<EngineEvent> all = sink->Events();
        for (size_t i = before; i < all.size(); ++i)
            if (all[i].message != DM_MEDIUMCHANGED) messages.push_back(all[i].message);
        EXPECT_TRUE(SameEvents({DM_ERASEPREPARE, DM_ERASESTART, DM_ERASEEND}, messages));
        EXPECT_EQ(1u, TrackCount());
        hyper total = 0, used = 1, free = 0;
        ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
        EXPECT_EQ(0, used);
    }
}

TEST_F(EngineJob, EraseRefusesWriteOnceMediaAndAsksAnEmptyDriveForADisc)
{
    Insert(2);
    const std::string before = MediumBytes(CD_DRIVE);
    EXPECT_EQ(unsigned(E_FAIL), Erase(0));
    EXPECT_EQ(std::vector<unsigned>{ST_NOT_ERASABLE}, All(DM_STATUS));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));

    ASSERT_EQ(0u, RunDiscTool("eject F"));
    sink->SetAnswer(0);
    EXPECT_EQ(CANCELLED, Erase(1));
    sink->SetAnswer(1);
    EXPECT_EQ(std::vector<unsigned>{ASK_INSERT_DISC}, All(DM_QUESTION));
}

// A drive that offers one kind of erase only: the quick and the full erase
// reach it as what they are.
TEST_F(EngineJob, QuickAndFullEraseReachTheDriveAsWhatTheyAre)
{
    struct Case {
        const char* modes;  // 1 quick only, 2 full only
        unsigned full;
        unsigned result;
    };
    const Case cases[] = {{"1", 0, 0}, {"1", 1, unsigned(E_FAIL)}, {"2", 0, unsigned(E_FAIL)}, {"2", 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.modes) + (c.full ? " full" : " quick"));
        DriveValue modes("blank_modes", c.modes, "3");
        ASSERT_TRUE(modes.Set());
        Insert(3);
        ASSERT_EQ(0u, Burn(FixtureTree()));
        EXPECT_EQ(c.result, Erase(c.full));
        EXPECT_EQ(c.result ? 2u : 1u, TrackCount());
    }
}

}  // namespace
