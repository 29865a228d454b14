#include "location.h"

#include "db/tablefolders.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace pelix::db {

namespace {

[[noreturn]] void Bad(const QString& text, const std::string& why)
{
    // A password written into the setting by mistake is not repeated.
    QString message = QStringLiteral("The database connection \"") + text + QStringLiteral("\" is not usable: ") +
                      QString::fromStdString(why);
    message.replace(QRegularExpression(QStringLiteral("(://[^/@:\"]*):[^/@\"]*@")), QStringLiteral("\\1:***@"));
    throw DbError(message.toStdString());
}

}  // namespace

bool IsServerAddress(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(u"postgresql:", Qt::CaseInsensitive) || t.startsWith(u"postgres:", Qt::CaseInsensitive);
}

DatabaseLocation ParseDatabaseLocation(const QString& text)
{
    DatabaseLocation loc;
    const QString t = text.trimmed();
    if (t.isEmpty() || t.compare(u"sqlite", Qt::CaseInsensitive) == 0) return loc;
    if (!IsServerAddress(t))
        Bad(t, "write it as postgresql://USER@HOST:PORT/DATABASE, or leave it empty for the database in the data folder.");

    const QUrl url(t, QUrl::StrictMode);
    if (!url.isValid()) Bad(t, url.errorString().toStdString() + ".");
    if (!url.password().isEmpty())
        throw DbError("The database connection must not hold a password. Put it in the PGPASSWORD environment "
                      "variable or in a pgpass file instead.");
    loc.server = true;
    loc.user = url.userName();
    loc.host = url.host();
    const int port = url.port(5432);
    if (port < 1 || port > 65535) Bad(t, "the port must be a number from 1 to 65535.");
    loc.port = port;
    QString path = url.path(QUrl::FullyDecoded);
    if (path.startsWith(u'/')) path.remove(0, 1);
    if (path.isEmpty() || path.contains(u'/')) Bad(t, "it must name one database after the host.");
    loc.database = path;
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == u"host" && loc.host.isEmpty() && !value.isEmpty())
            loc.host = value;
        else
            Bad(t, "the option \"" + key.toStdString() + "\" is not known here (only host=SOCKET-FOLDER, without a host before it).");
    }
    return loc;
}

QString DatabaseLocation::Display() const
{
    if (!server) return {};
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    const bool socket = host.startsWith(u'/');
    if (!socket) url.setHost(host);
    if (port != 5432) url.setPort(port);
    url.setPath(u'/' + database);
    if (socket) url.setQuery(QStringLiteral("host=") + host);
    return url.toString();
}

}  // namespace pelix::db
