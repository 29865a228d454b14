#include "common/startup.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace pelix;
using pelix::test::TempFolder;

namespace {
const QByteArray k500 = "1\n2\n3\n4\nThe database is not ready.\nRun dbrefit first.\n7\n";
}

TEST(StartupCheck, MarkerPresentLetsTheProgramStart)
{
    TempFolder t;
    t.write("Data/ALTFLAG.540", "");  // one folder, spelled two ways
    RecordingFeedback fb;
    EXPECT_TRUE(StartupCheck(t.path(), "English", fb));
    EXPECT_TRUE(fb.messages.empty());
}

TEST(StartupCheck, MissingMarkerShowsLinesFiveAndSix)
{
    TempFolder t;
    t.write("LANGUAGE/English/English.500", k500);
    RecordingFeedback fb;
    EXPECT_FALSE(StartupCheck(t.path(), "English", fb));
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0].type, MsgType::Information);
    EXPECT_EQ(fb.messages[0].text, "MX7720-IG Console\rThe database is not ready.\rRun dbrefit first.");
}

TEST(StartupCheck, UnreadableNoticeShowsTheError)
{
    TempFolder t;
    RecordingFeedback fb;
    EXPECT_FALSE(StartupCheck(t.path(), "English", fb));
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_NE(fb.messages[0].text.find("English.500"), std::string::npos);
}

TEST(StartupCheck, UnpacksTheLanguagePackFirst)
{
    TempFolder t;
    t.write("LANGUAGE/Italian.CMP", "BOF -> Italian.500\n" + k500);
    RecordingFeedback fb;
    EXPECT_FALSE(StartupCheck(t.path(), "Italian", fb));
    EXPECT_TRUE(t.exists("LANGUAGE/Italian/Italian.500"));
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_NE(fb.messages[0].text.find("Run dbrefit first."), std::string::npos);
}
