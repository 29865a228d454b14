#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace pelix {

namespace {
bool IsSep(QChar c) { return c == u'\\' || c == u'/'; }
}  // namespace

QString JoinPath(const QString& first, const QString& second)
{
    const bool firstEnds = !first.isEmpty() && IsSep(first.back());
    const bool secondBegins = !second.isEmpty() && IsSep(second.front());
    if (firstEnds || secondBegins) return first + second;
    const QChar sep = (first.contains(u'\\') && !first.contains(u'/')) ? QChar(u'\\') : QChar(u'/');
    return first + sep + second;
}

QString NativePath(const QString& path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    return QDir::toNativeSeparators(p);
}

QString ResolveNoCase(const QString& path)
{
    const QString native = NativePath(path);
    if (native.isEmpty() || QFileInfo::exists(native)) return native;

    QString p = native;
    p.replace(u'\\', u'/');
    const bool absolute = p.startsWith(u'/');
    const QStringList parts = p.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    int i = 0;
    // Keep a Windows drive ("C:") as it is.
    if (!parts.isEmpty() && parts[0].size() == 2 && parts[0][1] == u':') {
        current = parts[0] + u'/';
        i = 1;
    }
    for (; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString candidate = current.isEmpty() ? part : (current.endsWith(u'/') ? current + part : current + u'/' + part);
        if (part == u"." || part == u".." || QFileInfo::exists(candidate)) {
            current = candidate;
            continue;
        }
        QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
        const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QString match;
        for (const QString& e : entries) {
            if (e.compare(part, Qt::CaseInsensitive) == 0) { match = e; break; }
        }
        if (match.isEmpty()) return native;
        current = current.isEmpty() ? match : (current.endsWith(u'/') ? current + match : current + u'/' + match);
    }
    return QDir::toNativeSeparators(current);
}

bool PathExistsNoCase(const QString& path) { return QFileInfo::exists(ResolveNoCase(path)); }

}  // namespace pelix
