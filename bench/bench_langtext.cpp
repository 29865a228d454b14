// Loads the English PELIX-G texts and prints the mean time of one lookup over
// every key the file holds.
#include "common/feedback.h"
#include "common/langtext.h"
#include "common/text.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE/");
    pelix::RecordingFeedback fb;
    pelix::LanguageTexts texts;
    texts.SetLanguageFolder(folder);
    texts.LoadLanguage(QStringLiteral("English"), true, fb);
    if (!fb.messages.empty()) {
        std::fprintf(stderr, "%s\n", fb.messages.front().text.c_str());
        return 1;
    }
    std::vector<int> keys;
    for (const auto& k : texts.KeyIndex()) {
        int n = 0;
        if (!k.empty() && pelix::ParseInt(k, n)) keys.push_back(n);
    }
    if (keys.empty()) {
        std::fprintf(stderr, "no texts loaded from %s\n", qPrintable(texts.LoadedFile()));
        return 1;
    }
    const int rounds = 2000;
    std::size_t sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r)
        for (int k : keys) sink += texts.GetLangText(k).size();
    const auto stop = std::chrono::steady_clock::now();
    const double ns = std::chrono::duration<double, std::nano>(stop - start).count() / (double(rounds) * keys.size());
    std::printf("GetLangText: %zu keys, %d rounds, mean %.1f ns per lookup (checksum %zu)\n", keys.size(), rounds, ns,
                sink);
    return 0;
}
