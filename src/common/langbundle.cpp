#include "langbundle.h"

#include "paths.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <string>
#include <vector>

namespace pelix {

namespace {

constexpr std::string_view kMarker = "BOF ->";

std::vector<std::string> ReadLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open file \"" + path.toStdString() + "\". " + f.errorString().toStdString());
    const QByteArray all = f.readAll();
    std::vector<std::string> lines;
    std::string cur;
    for (char c : all) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            lines.push_back(std::move(cur));
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) {
        if (cur.back() == '\r') cur.pop_back();
        lines.push_back(std::move(cur));
    }
    return lines;
}

void WriteLines(const QString& path, const std::vector<std::string>& lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("Cannot create file \"" + path.toStdString() + "\". " + f.errorString().toStdString());
    for (const auto& l : lines) {
        f.write(l.data(), static_cast<qint64>(l.size()));
        f.write("\n", 1);
    }
    if (!f.flush() || f.error() != QFileDevice::NoError)
        throw std::runtime_error("Cannot write file \"" + path.toStdString() + "\". " + f.errorString().toStdString());
}

void UnpackOne(const QString& bundlePath, const QString& languageFolder, Feedback& fb)
{
    const QString fileName = QFileInfo(bundlePath).fileName();
    const QString bundleName = fileName.left(fileName.size() - 4);
    const QString target = JoinPath(languageFolder, bundleName);
    if (!QDir().mkpath(target))
        throw std::runtime_error("Cannot create folder \"" + target.toStdString() + "\".");

    const std::vector<std::string> lines = ReadLines(bundlePath);
    std::string member;
    std::vector<std::string> pending;
    for (const auto& line : lines) {
        if (line.compare(0, kMarker.size(), kMarker) != 0) {
            pending.push_back(line);
            continue;
        }
        if (!member.empty()) {
            WriteLines(JoinPath(target, QString::fromStdString(member)), pending);
            pending.clear();
        }
        // A marker that names no usable file leaves its lines pending for the next member.
        member = BundleMemberName(line);
        fb.ProcessEvents();
    }
    if (!member.empty()) WriteLines(JoinPath(target, QString::fromStdString(member)), pending);
    if (!QFile::remove(bundlePath))
        throw std::runtime_error("Cannot delete file \"" + bundlePath.toStdString() + "\".");
}

}  // namespace

std::string BundleMemberName(std::string_view markerLine)
{
    if (markerLine.compare(0, kMarker.size(), kMarker) != 0) return {};
    std::string name = TrimSpaces(markerLine.substr(kMarker.size()));
    while (!name.empty() && (name.back() == '\t' || name.back() == '\r')) name.pop_back();
    const std::size_t sep = name.find_last_of("/\\");
    if (sep != std::string::npos) name = name.substr(sep + 1);
    name = TrimSpaces(name);
    if (name == "." || name == "..") return {};
    return name;
}

bool SplitLanguageBundles(const QString& baseFolder, Feedback& fb)
{
    BusyScope busy(fb);
    const QString languageFolder = ResolveNoCase(JoinPath(baseFolder, QStringLiteral("LANGUAGE")));
    QDir dir(languageFolder);
    if (!dir.exists()) return true;
    dir.setNameFilters({QStringLiteral("*.CMP")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    // Name filters are case-insensitive on every system, so "english.cmp" is a bundle too.
    const QStringList bundles = dir.entryList();
    try {
        for (const QString& b : bundles) UnpackOne(dir.filePath(b), languageFolder, fb);
    } catch (const std::exception& e) {
        ShowMsg(fb, e.what(), MsgType::Warning);
        return false;
    }
    return true;
}

}  // namespace pelix
