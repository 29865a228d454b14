#include "common/paths.h"
#include "common/settings.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace pelix;
using pelix::test::TempFolder;

TEST(Settings, DefaultsAndValuesOfTheWrongType)
{
    TempFolder t;
    QSettings store(t.file("pelix.ini"), QSettings::IniFormat);
    Settings s = ReadSettings(store);
    EXPECT_EQ(s.LocalPort, 1);
    EXPECT_EQ(s.Language, "");  // resolved by the caller
    EXPECT_EQ(s.HelpDefault, "English");
    EXPECT_EQ(s.DataPath, ".\\DATA");
    EXPECT_EQ(s.TimeOut, 100);
    EXPECT_EQ(s.Firmware, "1.00");
    EXPECT_TRUE(s.Show1);
    EXPECT_TRUE(s.Show2);
    EXPECT_EQ(s.Show3, -1);

    store.setValue("Communication/LocalPort", "three");
    store.setValue("Miscellaneous/TimeOut", "fast");
    store.setValue("Miscellaneous/Show1", "maybe");
    store.setValue("Miscellaneous/Show2", false);
    s = ReadSettings(store);
    EXPECT_EQ(s.LocalPort, 1);
    EXPECT_EQ(s.TimeOut, 100);
    EXPECT_TRUE(s.Show1);
    EXPECT_FALSE(s.Show2);
}

TEST(Settings, EachGroupWritesOnlyItsValues)
{
    TempFolder t;
    QSettings store(t.file("pelix.ini"), QSettings::IniFormat);
    Settings s;
    s.LocalPort = 4;
    s.Language = "Italian";
    s.TimeOut = 250;
    s.Firmware = "2.10";
    s.TipoCentrale = 22;
    s.Show3 = 300;

    SaveSettings(store, s, SettingsGroup::Port);
    EXPECT_EQ(store.allKeys(), QStringList{"Communication/LocalPort"});
    SaveSettings(store, s, SettingsGroup::Device);
    SaveSettings(store, s, SettingsGroup::Language);
    SaveSettings(store, s, SettingsGroup::Layout);
    EXPECT_EQ(store.allKeys().size(), 9);

    QSettings reread(t.file("pelix.ini"), QSettings::IniFormat);
    const Settings r = ReadSettings(reread);
    EXPECT_EQ(r.LocalPort, 4);
    EXPECT_EQ(r.Language, "Italian");
    EXPECT_EQ(r.TimeOut, 250);
    EXPECT_EQ(r.Firmware, "2.10");
    EXPECT_EQ(r.Show3, 300);
    EXPECT_EQ(reread.value("Miscellaneous/TipoCentrale").toInt(), 22);
}

TEST(Settings, DataPathRule)
{
    struct Case { const char* dataPath; const char* data; };
    const Case cases[] = {
        {".\\DATA", "/opt/pelix/Data"},
        {".\\data", ".\\data"},  // only the exact text means the program's own folder
        {"/srv/pelix", "/srv/pelix"},
    };
    for (const auto& c : cases) {
        const Folders f = DeriveFolders("/opt/pelix", c.dataPath);
        EXPECT_EQ(f.data, c.data) << c.dataPath;
        EXPECT_EQ(f.configTables, JoinPath(c.data, "/PELIX")) << c.dataPath;
    }
    const Folders f = DeriveFolders("/opt/pelix", ".\\DATA");
    EXPECT_EQ(f.language, "/opt/pelix/LANGUAGE/");
    EXPECT_EQ(f.bitmap, "/opt/pelix/BITMAP/");
}
