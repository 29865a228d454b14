#include "langtext.h"

#include "paths.h"
#include "text.h"

#include <QFile>

#include <algorithm>
#include <stdexcept>

namespace pelix {

namespace {

bool LessNoCase(const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; }

// The key of an entry line: the text before the first "=", read strictly as a
// decimal integer. False for a line without "=" or whose key does not read.
bool LineKey(std::string_view line, int& key)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    return ParseInt(line.substr(0, eq), key);
}

// The text of a line when its key, trimmed of blanks, reads as n.
bool TextIfKey(std::string_view line, int n, std::string& text)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    int key = 0;
    if (!ParseInt(TrimSpaces(line.substr(0, eq)), key) || key != n) return false;
    text.assign(line.substr(eq + 1));
    return true;
}

}  // namespace

std::vector<std::string> ReadTextLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open file \"" + path.toStdString() + "\". " + f.errorString().toStdString());
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw std::runtime_error("Cannot read file \"" + path.toStdString() + "\". " + f.errorString().toStdString());
    std::vector<std::string> lines;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0) end = all.size();
        qsizetype stop = end;
        if (stop > start && all[stop - 1] == '\r') --stop;
        lines.emplace_back(all.constData() + start, static_cast<std::size_t>(stop - start));
        start = end + 1;
    }
    return lines;
}

QString LanguageFilePath(const QString& languageFolder, const QString& language, const QString& ext)
{
    return ResolveNoCase(JoinPath(JoinPath(languageFolder, language), language + ext));
}

void LanguageTexts::LoadLanguage(const QString& language, bool secondGeneration, Feedback& fb)
{
    lines_.clear();
    keys_.clear();
    loadedFile_ = LanguageFilePath(languageFolder_, language, secondGeneration ? QStringLiteral(".ln6") : QStringLiteral(".ln3"));
    try {
        lines_ = ReadTextLines(loadedFile_);
    } catch (const std::exception& e) {
        ShowMsg(fb, e.what(), MsgType::Warning);
        return;
    }
    for (auto& line : lines_) {
        int key = 0;
        if (!LineKey(line, key) || key == 0) line = "00000";
    }
    std::stable_sort(lines_.begin(), lines_.end(), LessNoCase);
    keys_.reserve(lines_.size());
    for (const auto& line : lines_) {
        int key = 0;
        if (LineKey(line, key) && key > 0)
            keys_.push_back(PadLeft(std::to_string(key), 5, '0'));
        else
            keys_.emplace_back();
    }
    std::stable_sort(keys_.begin(), keys_.end(), LessNoCase);
}

std::string LanguageTexts::GetLangText(int n) const
{
    std::string result;
    const std::string key = PadLeft(std::to_string(n), 5, '0');
    auto it = std::lower_bound(keys_.begin(), keys_.end(), key, LessNoCase);
    if (it != keys_.end() && *it == key) {
        const auto i = static_cast<std::size_t>(it - keys_.begin());
        if (i < lines_.size()) {
            TextIfKey(lines_[i], n, result);
        } else if (fb_) {
            ShowMsg(*fb_, "The language texts are inconsistent (entry " + key + ").", MsgType::Warning);
        }
    }
    if (result.empty()) result = EnglishFallback(n);
    return result;
}

std::string LanguageTexts::EnglishFallback(int n) const
{
    const QString english = LanguageFilePath(languageFolder_, QStringLiteral("English"), QStringLiteral(".ln3"));
    if (!QFile::exists(english)) return {};
    std::vector<std::string> lines;
    try {
        lines = ReadTextLines(english);
    } catch (const std::exception&) {
        return {};
    }
    std::string text;
    for (const auto& line : lines)
        if (TextIfKey(line, n, text)) return text;
    return {};
}

}  // namespace pelix
