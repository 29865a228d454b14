#include "common/customnames.h"
#include "common/langbundle.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace pelix;
using pelix::test::TempFolder;

TEST(LanguageBundles, UnpacksMembersAndDeletesTheBundle)
{
    TempFolder t;
    t.write("LANGUAGE/Klingon.CMP",
            "leading line\n"
            "BOF -> Klingon.ln3 \n"
            "00001=one\n"
            "00002=two\n"
            "BOF ->Klingon.500\r\n"
            "notice\r\n");
    RecordingFeedback fb;
    EXPECT_TRUE(SplitLanguageBundles(t.path(), fb));
    EXPECT_TRUE(fb.messages.empty());
    EXPECT_EQ(t.read("LANGUAGE/Klingon/Klingon.ln3"), "leading line\n00001=one\n00002=two\n");
    EXPECT_EQ(t.read("LANGUAGE/Klingon/Klingon.500"), "notice\n");
    EXPECT_FALSE(t.exists("LANGUAGE/Klingon.CMP"));
    EXPECT_EQ(fb.busyDepth, 0);
}

TEST(LanguageBundles, NothingToDoCreatesNothing)
{
    TempFolder t;
    t.write("LANGUAGE/readme.txt", "x");
    RecordingFeedback fb;
    EXPECT_TRUE(SplitLanguageBundles(t.path(), fb));
    EXPECT_FALSE(t.exists("LANGUAGE/readme"));
    EXPECT_TRUE(fb.messages.empty());
}

TEST(LanguageBundles, AMemberNameCannotLeaveTheBundleFolder)
{
    EXPECT_EQ(BundleMemberName("BOF -> ../../etc/passwd"), "passwd");
    EXPECT_EQ(BundleMemberName("BOF -> ..\\x.ln3"), "x.ln3");
    EXPECT_EQ(BundleMemberName("BOF -> .."), "");

    TempFolder t;
    t.write("LANGUAGE/Evil.CMP", "BOF -> ../../outside.txt\nx\n");
    RecordingFeedback fb;
    EXPECT_TRUE(SplitLanguageBundles(t.path(), fb));
    EXPECT_FALSE(t.exists("outside.txt"));
    EXPECT_TRUE(t.exists("LANGUAGE/Evil/outside.txt"));
}

TEST(LanguageBundles, AnErrorStopsAndKeepsTheBundle)
{
    TempFolder t;
    t.write("LANGUAGE/Bad/sub/keep", "");  // the member's name is taken by a folder
    t.write("LANGUAGE/Bad.CMP", "BOF -> sub\nx\n");
    RecordingFeedback fb;
    EXPECT_FALSE(SplitLanguageBundles(t.path(), fb));
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0].type, MsgType::Warning);
    EXPECT_TRUE(t.exists("LANGUAGE/Bad.CMP"));
    EXPECT_EQ(fb.busyDepth, 0);
}
