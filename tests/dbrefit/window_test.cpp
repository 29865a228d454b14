#include "dbrefit/creafile.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::refit;

namespace {

bool RunWindow(const QString& base, RecordingFeedback& fb)
{
    const RefitFolders f = ComputeFolders(base, base);
    Upgrade up(f, base, test::SourceDataFolder() + QStringLiteral("/STRUCT"), fb);
    TfrmCreafile window(up, fb);
    window.show();
    if (!QTest::qWaitFor([&] { return !window.isVisible(); }, 20000)) return false;
    return window.Completed();
}

}  // namespace

// A base folder with the English texts of the utility.
void CopyTexts(const test::TempFolder& t)
{
    QDir(t.path()).mkpath(QStringLiteral("LANGUAGE/English"));
    QFile::copy(test::SourceDataFolder() + QStringLiteral("/LANGUAGE/English/English.500"),
                t.file(QStringLiteral("LANGUAGE/English/English.500")));
}

TEST(CreafileWindow, TimerRunsTheUpgradeAndCloses)
{
    test::TempFolder t;
    CopyTexts(t);
    RecordingFeedback fb;
    EXPECT_TRUE(RunWindow(t.path(), fb));
    EXPECT_TRUE(fb.messages.empty());
    EXPECT_TRUE(t.exists(QStringLiteral("Data/altflag.540")));
}

TEST(CreafileWindow, DeclinedUpgradeOfOlderDataChangesNothing)
{
    test::TempFolder t;
    CopyTexts(t);
    QDir(t.path()).mkpath(QStringLiteral("Data/LUMERA"));
    RecordingFeedback fb;
    fb.answers = {MsgAnswer::No};
    EXPECT_FALSE(RunWindow(t.path(), fb));
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(fb.messages[0].text.rfind("The data folder holds data of earlier products", 0), 0u);
    EXPECT_FALSE(t.exists(QStringLiteral("Data/altflag.540")));
    EXPECT_FALSE(t.exists(QStringLiteral("Data/tables.sqlite")));
}
