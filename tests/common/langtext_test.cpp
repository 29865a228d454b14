#include "common/langtext.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace pelix;
using pelix::test::TempFolder;

namespace {

// A language folder with an English ".ln3" and a language "Test" of our own.
struct LanguageFixture : ::testing::Test {
    TempFolder t;
    RecordingFeedback fb;
    LanguageTexts texts;

    void SetUp() override
    {
        t.write("LANGUAGE/English/English.ln3", "00054=Write failed\n00115=Number\n00200=English only\n");
        texts.SetLanguageFolder(t.file("LANGUAGE/"));
    }
    void Load(const QByteArray& ln3)
    {
        t.write("LANGUAGE/Test/Test.ln3", ln3);
        texts.LoadLanguage("Test", false, fb);
    }
};

}  // namespace

TEST_F(LanguageFixture, FiveDigitKeysAreFoundAndMissingOnesComeFromEnglish)
{
    Load("00115=Numero\n00054=Scrittura fallita = errore\n00010=\n");
    EXPECT_EQ(texts.GetLangText(115), "Numero");
    EXPECT_EQ(texts.GetLangText(54), "Scrittura fallita = errore");  // text runs past a second "="
    EXPECT_EQ(texts.GetLangText(200), "English only");
    EXPECT_EQ(texts.GetLangText(10), "");  // empty here and absent in English
    EXPECT_EQ(texts.GetLangText(99999), "");
    EXPECT_TRUE(fb.messages.empty());
}

TEST_F(LanguageFixture, KeysWithoutZerosMissTheFastLookup)
{
    Load("54=Scrittura fallita\n115=Numero\n");
    EXPECT_EQ(texts.GetLangText(54), "Write failed");
    EXPECT_EQ(texts.GetLangText(115), "Number");
}

TEST_F(LanguageFixture, LinesThatAreNotEntriesAreNeverReturned)
{
    Load("abc=x\n\n-5=minus\n00000=zero\nno equals sign\n00007=seven\n");
    for (int n : {0, -5, 5, 1}) EXPECT_EQ(texts.GetLangText(n), "") << n;
    EXPECT_EQ(texts.GetLangText(7), "seven");
    // -5=x stays in the line list, without a key.
    const auto& lines = texts.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "-5=minus"), lines.end());
    EXPECT_EQ(std::count(texts.KeyIndex().begin(), texts.KeyIndex().end(), ""), 5);
    EXPECT_EQ(lines.size(), texts.KeyIndex().size());
}

TEST_F(LanguageFixture, SecondGenerationReadsTheLn6File)
{
    t.write("LANGUAGE/Test/Test.ln6", "00115=Numero G\n");
    Load("00115=Numero\n");
    texts.LoadLanguage("Test", true, fb);
    EXPECT_EQ(texts.GetLangText(115), "Numero G");
}

TEST_F(LanguageFixture, AMissingFileWarnsAndEverythingComesFromEnglish)
{
    texts.LoadLanguage("Nowhere", false, fb);
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0].type, MsgType::Warning);
    EXPECT_EQ(texts.GetLangText(54), "Write failed");

    TempFolder empty;
    texts.SetLanguageFolder(empty.path());
    texts.LoadLanguage("English", false, fb);
    EXPECT_EQ(texts.GetLangText(54), "");
}

TEST_F(LanguageFixture, LetterCaseOfFolderAndFileDoesNotMatter)
{
    t.write("LANGUAGE/italian/ITALIAN.LN3", "00115=Numero\n");
    texts.LoadLanguage("Italian", false, fb);
    EXPECT_TRUE(fb.messages.empty());
    EXPECT_EQ(texts.GetLangText(115), "Numero");
}
