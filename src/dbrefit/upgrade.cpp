#include "upgrade.h"

#include "common/customnames.h"
#include "common/langbundle.h"
#include "common/langtext.h"
#include "common/paths.h"
#include "common/text.h"
#include "dbrefit/dataupdates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

namespace pelix::refit {

using db::DbError;
using db::TableFolders;

namespace {

QString Sub(const QString& folder, const QString& name, const QString& whenMissing)
{
    const QString found = ResolveNoCase(JoinPath(folder, u'/' + name));
    return QFileInfo(found).isDir() ? found : JoinPath(folder, u'/' + whenMissing);
}

bool FolderExists(const QString& path) { return QFileInfo(path).isDir(); }

}  // namespace

RefitFolders ComputeFolders(const QString& argument, const QString& currentFolder)
{
    RefitFolders f;
    f.base = !argument.isEmpty() && QFileInfo(argument).isDir() ? argument : currentFolder;
    f.base = QDir::fromNativeSeparators(f.base);
    while (f.base.size() > 1 && f.base.endsWith(u'/')) f.base.chop(1);
    f.data = Sub(f.base, QStringLiteral("DATA"), QStringLiteral("Data"));
    f.lumera = Sub(f.data, QStringLiteral("LUMERA"), QStringLiteral("LUMERA"));
    f.quadrel2 = Sub(f.data, QStringLiteral("QUADREL2"), QStringLiteral("QUADREL2"));
    f.language = Sub(f.base, QStringLiteral("LANGUAGE"), QStringLiteral("LANGUAGE"));
    return f;
}

bool MarkerExists(const QString& folder, const QString& name)
{
    return QFileInfo::exists(ResolveNoCase(JoinPath(folder, u'/' + name)));
}

QStringList OldLanguageFiles(const QString& languageFolder)
{
    QStringList out;
    const QDir dir(languageFolder);
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files)) {
        const QString name = fi.fileName();
        const auto dot = name.lastIndexOf(u'.');
        if (dot < 0) continue;
        const QString ext = name.mid(dot + 1);
        if (ext.size() >= 1 && ext.size() <= 3 && ext[0] >= u'0' && ext[0] <= u'6') out << fi.filePath();
    }
    return out;
}

Upgrade::Upgrade(const RefitFolders& folders, const QString& currentFolder, const QString& structFolder, Feedback& fb,
                 const QString& database)
    : f_(folders), currentFolder_(currentFolder), structFolder_(structFolder), fb_(fb), database_(database)
{
}

bool Upgrade::AlreadyDone() const { return MarkerExists(f_.data, QStringLiteral("altflag.540")); }

bool Upgrade::LoadTexts()
{
    // The settings of the suite's telephone products; a MULTI installation has
    // its own file.
    QString ini = ResolveNoCase(JoinPath(currentFolder_, QStringLiteral("/LUMERA.INI")));
    if (!QFileInfo::exists(ini)) {
        const QString multi = ResolveNoCase(JoinPath(currentFolder_, QStringLiteral("/MULTI.INI")));
        if (QFileInfo::exists(multi)) ini = multi;
    }
    std::string language;
    if (ReadIniValue(ini, "Language", "Language", language) && !TrimSpaces(language).empty())
        language_ = QString::fromStdString(TrimSpaces(language));

    if (QFileInfo::exists(ResolveNoCase(JoinPath(f_.language, u'/' + language_ + QStringLiteral(".CMP")))))
        SplitLanguageBundles(f_.base, fb_);

    multi_ = UpperCase(ReadCustomNames(currentFolder_).names[1]).find("MULTI") != std::string::npos;

    try {
        lines_ = ReadTextLines(LanguageFilePath(f_.language + u'/', language_, QStringLiteral(".500")));
    } catch (const std::exception&) {
        lines_.clear();
        return false;
    }
    return lines_.size() > kLineQuestion;
}

std::string Upgrade::Text(int n, const std::string& fallback) const
{
    return n >= 0 && static_cast<std::size_t>(n) < lines_.size() ? lines_[static_cast<std::size_t>(n)] : fallback;
}

bool Upgrade::NeedsQuestion() const { return FolderExists(f_.lumera); }

bool Upgrade::UpgradeSteps(const StatusFn& status)
{
    try {
        if (!QDir().mkpath(f_.data))
            throw DbError("Cannot create the data folder " + QDir::toNativeSeparators(f_.data).toStdString() + ".");
        auto t = std::make_unique<TableFolders>(f_.data, database_);

        // The structure tables come with the program and describe this release.
        InstallStructureTables(*t, structFolder_);
        CreateTables(*t, false, status, !multi_, fb_);

        if (!MarkerExists(f_.data, QStringLiteral("altflag.510"))) {
            if (FolderExists(f_.lumera)) {
                // "AltFlag.501" is this run's own note, not an earlier level.
                const QStringList markers = QDir(f_.data).entryList({QStringLiteral("altflag.*")}, QDir::Files);
                bool earlier = false;
                for (const QString& m : markers)
                    if (m.compare(u"AltFlag.501", Qt::CaseInsensitive) != 0) earlier = true;
                if (!earlier) InsertFirstInstallationRow(*t);
                SeedCountryParameters(*t, f_.lumera, fb_);
            }
        } else if (FolderExists(f_.quadrel2)) {
            const bool flag30 = MarkerExists(f_.data, QStringLiteral("altflag.30"));
            const bool flag401 = MarkerExists(f_.data, QStringLiteral("altflag.401"));
            if (!flag30 && !flag401) {
                if (status) status(QStringLiteral("Q_COMUN.DB"));
                CorrectOlderTable(*t, f_.quadrel2, QStringLiteral("Q_COMUN.DB"));
            }
            if (!flag401) {
                if (status) status(QStringLiteral("LUMERA.DB"));
                CorrectOlderTable(*t, f_.quadrel2, QStringLiteral("LUMERA.DB"));
            }
        }

        EnsureMasterUser(*t, f_.data);
    } catch (const std::exception& e) {
        ShowMsg(fb_, e.what(), MsgType::Error);
        return false;
    }

    RemoveOldFiles();
    // The program manager's groups of earlier releases exist only on old
    // Windows installations; there is no program manager to ask here.
    WriteMarkers();
    return AlreadyDone();
}

void Upgrade::RemoveOldFiles()
{
    // Program and settings files of earlier releases, as listed beside the
    // structure tables; each only when present.
    QFile list(ResolveNoCase(JoinPath(structFolder_, QStringLiteral("/OBSOLETE.txt"))));
    if (list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&list);
        while (!in.atEnd()) {
            const QString name = in.readLine().trimmed();
            if (name.isEmpty() || name.startsWith(u'#') || name.contains(u'/') || name.contains(u'\\') ||
                name.contains(u"..") || name.contains(u"*") || name.contains(u"?"))
                continue;
            const QString path = ResolveNoCase(JoinPath(f_.base, u'/' + name));
            if (QFileInfo(path).isFile()) QFile::remove(path);
        }
    }
    for (const QString& file : OldLanguageFiles(f_.language)) QFile::remove(file);
    const QString datafile = ResolveNoCase(JoinPath(f_.data, QStringLiteral("/DATAFILE")));
    if (QFileInfo(datafile).isFile()) QFile::remove(datafile);
}

void Upgrade::WriteMarkers()
{
    QStringList markers = {QStringLiteral("dataflag"), QStringLiteral("tmpflag"), QStringLiteral("altflag.402")};
    if (multi_)
        markers << QStringLiteral("altflag.401") << QStringLiteral("altflag.303") << QStringLiteral("altflag.20")
                << QStringLiteral("altflag.30") << QStringLiteral("altflag.512");
    // Last: its presence says the whole run completed.
    markers << QStringLiteral("altflag.540");
    for (const QString& m : markers) {
        QFile f(JoinPath(f_.data, u'/' + m));
        if (!f.open(QIODevice::WriteOnly)) {
            ShowMsg(fb_, "Cannot write " + QDir::toNativeSeparators(f.fileName()).toStdString() + ": " +
                             f.errorString().toStdString(), MsgType::Error);
            return;
        }
    }
}

}  // namespace pelix::refit
