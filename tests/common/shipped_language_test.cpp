// The language files we ship must hold every text the program shows.
#include "common/langtext.h"
#include "common/text.h"
#include "support/testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace pelix;

TEST(ShippedLanguages, EveryUsedTextNumberIsPresent)
{
    QFile list(QStringLiteral(PELIX_SOURCE_DIR "/tests/common/language_text_numbers.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    std::vector<int> numbers;
    for (const QByteArray& line : list.readAll().split('\n')) {
        bool ok = false;
        const int n = line.trimmed().toInt(&ok);
        if (ok) numbers.push_back(n);
    }
    ASSERT_GT(numbers.size(), 100u);

    for (const char* language : {"English", "Italian"}) {
        for (bool g : {false, true}) {
            RecordingFeedback fb;
            LanguageTexts texts;
            texts.SetLanguageFolder(pelix::test::SourceDataFolder() + "/LANGUAGE/");
            texts.LoadLanguage(language, g, fb);
            ASSERT_TRUE(fb.messages.empty()) << language;
            for (int n : numbers) {
                // Look in the file itself: the English fallback must not hide a gap.
                const std::string key = PadLeft(std::to_string(n), 5, '0');
                const auto& keys = texts.KeyIndex();
                EXPECT_TRUE(std::binary_search(keys.begin(), keys.end(), key) && !texts.GetLangText(n).empty())
                    << language << (g ? ".ln6" : ".ln3") << " lacks text " << n;
            }
        }
    }
}

TEST(ShippedLanguages, StartupNoticeHasItsLines)
{
    for (const char* language : {"English", "Italian"}) {
        const auto lines = ReadTextLines(LanguageFilePath(pelix::test::SourceDataFolder() + "/LANGUAGE/", language, ".500"));
        ASSERT_GE(lines.size(), 6u) << language;
        EXPECT_FALSE(lines[4].empty()) << language;
    }
}
