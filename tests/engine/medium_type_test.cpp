// Medium classes and MSF times, against the code tables.
#include <gtest/gtest.h>
#include "devices/medium_type.h"
#include "devices/track.h"

TEST(MediumType, EveryCodeIsInExactlyItsClasses)
{
    struct Case {
        unsigned type;
        bool dvd, writable, erasable;
    };
    const Case cases[] = {
        {0, false, false, false},  {1, false, false, false},  {2, false, true, false},
        {3, false, true, true},    {4, true, false, false},   {5, true, true, false},
        {6, true, true, true},     {7, true, true, true},     {8, true, true, true},
        {9, true, true, true},     {10, false, false, false}, {11, false, true, false},
        {12, false, true, true},   {13, true, true, false},   {14, false, false, false},
        {15, true, true, false},   {16, true, true, false},   {17, true, false, false},
        {18, true, true, false},   {19, true, true, true},    {20, true, false, false},
        {21, true, true, false},   {22, true, true, true},    {23, false, false, false},
        {31, false, false, false}, {32, false, false, false}, {0xFFFFFFFF, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(c.dvd, IsDVDMedium(c.type));
        EXPECT_EQ(c.writable, IsWritableMedium(c.type));
        EXPECT_EQ(c.erasable, IsErasableMedium(c.type));
    }
}

TEST(MediumType, NamesStopAtTheNamedCodes)
{
    struct Case {
        unsigned type;
        const char* name;
    };
    const Case cases[] = {
        {0, "UNKNOWN"},  {1, "CD-ROM"},  {8, "DVD-RWSR"},   {12, "DDC-RW"},   {14, "No media"},
        {15, "DVD+R(DL)"}, {16, "?"},    {22, "?"},         {0xFFFFFFFF, "?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_STREQ(c.name, MediumTypeName(c.type, "?"));
    }
}

TEST(MediumType, BlocksBecomeMinutesSecondsAndFrames)
{
    struct Case {
        unsigned blocks, minutes, seconds, frames;
    };
    const Case cases[] = {
        {0, 0, 0, 0}, {74, 0, 0, 74}, {75, 0, 1, 0}, {150, 0, 2, 0},
        {4499, 0, 59, 74}, {4500, 1, 0, 0}, {4350 + 150, 1, 0, 0}, {359848, 79, 57, 73},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocks);
        unsigned m = 99, s = 99, f = 99;
        ASSERT_TRUE(BlocksToMsf(c.blocks, &m, &s, &f));
        EXPECT_EQ(c.minutes, m);
        EXPECT_EQ(c.seconds, s);
        EXPECT_EQ(c.frames, f);
    }
    unsigned m = 0, s = 0;
    EXPECT_FALSE(BlocksToMsf(1, &m, &s, nullptr));
}
