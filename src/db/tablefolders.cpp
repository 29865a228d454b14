#include "tablefolders.h"

#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <atomic>
#include <map>
#include <mutex>

namespace pelix::db {

namespace {

std::atomic<int> connectionCounter{0};

// The open connections by driver, so that a failing statement finds the
// transaction it belongs to.
std::mutex connectionsMutex;
std::map<const QSqlDriver*, TableFolders*> openConnections;

QString Clean(const QString& folder)
{
    QString f = QDir::fromNativeSeparators(folder);
    f.replace(u'\\', u'/');
    return QDir::cleanPath(QDir(f).absolutePath());
}

QString ErrorText(const QSqlError& e)
{
    QString t = e.databaseText();
    if (t.isEmpty()) t = e.text();
    // PostgreSQL's text comes as "ERROR:  what\nDETAIL:  why\nCONTEXT: ...\n(code)":
    // the user gets what and why.
    if (t.startsWith(u"ERROR:") || t.startsWith(u"FATAL:")) {
        QStringList kept;
        for (const QString& line : t.split(u'\n', Qt::SkipEmptyParts)) {
            const QString l = line.trimmed();
            if (l.startsWith(u"ERROR:") || l.startsWith(u"FATAL:"))
                kept << l.mid(6).trimmed();
            else if (l.startsWith(u"DETAIL:"))
                kept << l.mid(7).trimmed();
        }
        t = kept.join(u' ');
    }
    return t;
}

bool IsUniqueViolation(const QSqlError& e)
{
    const QString code = e.nativeErrorCode();
    if (code == u"23505") return true;  // PostgreSQL's unique_violation
    // SQLite: SQLITE_CONSTRAINT (19) or its extended SQLITE_CONSTRAINT_UNIQUE (2067).
    return (code == u"19" || code == u"2067") && e.databaseText().contains(u"UNIQUE", Qt::CaseInsensitive);
}

// The server connection's parameters; the password is left to the client
// library (PGPASSWORD or a pgpass file).
void ApplyLocation(QSqlDatabase& db, const DatabaseLocation& loc)
{
    if (!loc.host.isEmpty()) db.setHostName(loc.host);
    db.setPort(loc.port);
    db.setDatabaseName(loc.database);
    if (!loc.user.isEmpty()) db.setUserName(loc.user);
}

[[noreturn]] void Throw(const QSqlError& e) { throw DbError(ErrorText(e).toStdString(), IsUniqueViolation(e)); }

}  // namespace

TableFolders::TableFolders(const QString& mainFolder, const QString& connection)
    : location_(ParseDatabaseLocation(connection)),
      mainFolder_(Clean(mainFolder)),
      connectionName_(QStringLiteral("pelix-tables-%1").arg(connectionCounter.fetch_add(1)))
{
    if (location_.server)
        OpenServer();
    else
        OpenSqlite();
}

void TableFolders::OpenSqlite()
{
    if (!QFileInfo(mainFolder_).isDir())
        throw DbError("The folder " + QDir::toNativeSeparators(mainFolder_).toStdString() + " does not exist.");
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(mainFolder_ + u'/' + QLatin1String(kTablesFileName));
    // Another program may be writing; wait for it rather than fail at once.
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db_.open()) {
        const QSqlError e = db_.lastError();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        Throw(e);
    }
    Register();
    try {
        SetPragmas(QStringLiteral("main"));
    } catch (...) {
        Close();
        throw;
    }
}

void TableFolders::OpenServer()
{
    const std::string where = location_.Display().toStdString();
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName_);
    if (!db_.isValid()) {
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError("Cannot reach the customer database " + where +
                      ": the PostgreSQL driver of Qt is not installed (Debian package libqt6sql6-psql).");
    }
    ApplyLocation(db_, location_);
    // A server that is down should not keep the window waiting for minutes.
    db_.setConnectOptions(QStringLiteral("connect_timeout=10"));
    if (!db_.open()) {
        const QSqlError e = db_.lastError();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError("Cannot reach the customer database " + where + ": " + ErrorText(e).simplified().toStdString());
    }
    Register();
    try {
        // "Already exists, skipping" notices are no news.
        Exec(QStringLiteral("SET client_min_messages TO warning"));
        if (!SchemaExists(QStringLiteral("main"))) Exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS main"));
        Exec(QStringLiteral("SET search_path TO main"));
    } catch (...) {
        Close();
        throw;
    }
}

void TableFolders::Register()
{
    const std::lock_guard<std::mutex> lock(connectionsMutex);
    openConnections[db_.driver()] = this;
}

void TableFolders::Close()
{
    {
        const std::lock_guard<std::mutex> lock(connectionsMutex);
        openConnections.erase(db_.driver());
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

bool TableFolders::SchemaExists(const QString& schema)
{
    QSqlQuery q = Prepare(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = ?"));
    q.addBindValue(schema);
    Exec(q);
    return q.next();
}

TableFolders::~TableFolders()
{
    if (inTransaction_) Rollback();
    Close();
}

QString TableFolders::Schema(const QString& folder, bool create)
{
    const QString f = Clean(folder);
    if (f.compare(mainFolder_, Qt::CaseInsensitive) == 0) return QStringLiteral("main");
    const QFileInfo info(f);
    if (Clean(info.path()).compare(mainFolder_, Qt::CaseInsensitive) == 0) return SubSchema(info.fileName(), create);
    throw DbError("The folder " + QDir::toNativeSeparators(f).toStdString() +
                  " is not the data folder nor one of its sub-folders.");
}

QString TableFolders::SubSchema(const QString& subFolder, bool create)
{
    QString name = subFolder;
    while (name.endsWith(u'/') || name.endsWith(u'\\')) name.chop(1);
    if (name.isEmpty()) return QStringLiteral("main");
    if (name.contains(u'/') || name.contains(u'\\') || name == u"." || name == u"..")
        throw DbError("Tables live in the data folder or in one of its direct sub-folders, not in " +
                      name.toStdString() + ".");
    const QString key = name.toUpper();
    if (auto it = attached_.find(key); it != attached_.end()) return it->second;
    if (key == u"MAIN" || key == u"TEMP") throw DbError("A sub-folder cannot be named " + name.toStdString() + ".");
    if (inTransaction_) throw DbError("A folder of tables cannot be opened inside a transaction.");

    if (location_.server) {
        const QString schema = name.toLower();
        if (key.startsWith(u"PG_") || key == u"PUBLIC" || key == u"INFORMATION_SCHEMA")
            throw DbError("A sub-folder cannot be named " + name.toStdString() + " on a database server.");
        if (!SchemaExists(schema)) {
            if (!create)
                throw DbError("The customer database " + location_.Display().toStdString() +
                              " has no tables of the folder " + name.toStdString() + ".");
            Exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS ") + Quote(schema));
        }
        attached_[key] = schema;
        return schema;
    }

    QString path = ResolveNoCase(mainFolder_ + u'/' + name);
    if (!QFileInfo(path).isDir()) {
        if (!create || !QDir().mkpath(mainFolder_ + u'/' + name))
            throw DbError("The folder " + QDir::toNativeSeparators(mainFolder_ + u'/' + name).toStdString() +
                          " does not exist.");
        path = mainFolder_ + u'/' + name;
    }
    const QString schema = QFileInfo(path).fileName();
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + Quote(schema));
    q.addBindValue(path + u'/' + QLatin1String(kTablesFileName));
    if (!q.exec()) Throw(q.lastError());
    attached_[key] = schema;
    SetPragmas(schema);
    return schema;
}

void TableFolders::SetPragmas(const QString& schema)
{
    // Both are kept per file, so every attached file gets them too. A rollback
    // journal (not WAL) makes a transaction over several files atomic as a
    // whole, also when the process dies half-way; truncating the journal
    // instead of deleting it saves directory updates on every commit, and full
    // synchronisation keeps a commit through a power cut.
    Exec(QStringLiteral("PRAGMA ") + Quote(schema) + QStringLiteral(".journal_mode=TRUNCATE"));
    Exec(QStringLiteral("PRAGMA ") + Quote(schema) + QStringLiteral(".synchronous=FULL"));
}

QString TableFolders::Quote(const QString& identifier) const
{
    QString s = location_.server ? identifier.toLower() : identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString TableFolders::Qualified(const QString& schema, const QString& table) const
{
    return Quote(schema) + u'.' + Quote(table);
}

QString TableFolders::CreateIndexStatement(const QString& schema, const QString& name, const QString& table,
                                           const QString& columns, bool unique) const
{
    // SQLite puts the schema on the index, PostgreSQL on the table (its index
    // always lives beside the table).
    const QString head = unique ? QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS ")
                                : QStringLiteral("CREATE INDEX IF NOT EXISTS ");
    if (location_.server) return head + Quote(name) + QStringLiteral(" ON ") + Qualified(schema, table) + QStringLiteral(" (") + columns + u')';
    return head + Qualified(schema, name) + QStringLiteral(" ON ") + Quote(table) + QStringLiteral(" (") + columns + u')';
}

bool TableFolders::TableExists(const QString& schema, const QString& table)
{
    if (location_.server) {
        // The catalogue's own lookup: information_schema takes milliseconds.
        QSqlQuery q = Prepare(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
        q.addBindValue(Qualified(schema, table));
        Exec(q);
        return q.next() && q.value(0).toBool();
    }
    QSqlQuery q = Prepare(QStringLiteral("SELECT 1 FROM ") + Quote(schema) +
                          QStringLiteral(".sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"));
    q.addBindValue(table);
    Exec(q);
    return q.next();
}

QStringList TableFolders::Columns(const QString& schema, const QString& table)
{
    QStringList names;
    if (!TableExists(schema, table)) return names;
    // A statement that returns no row still describes every column.
    QSqlQuery q = Prepare(QStringLiteral("SELECT * FROM ") + Qualified(schema, table) + QStringLiteral(" WHERE 1 = 0"));
    Exec(q);
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i) names << r.fieldName(i);
    return names;
}

bool TableFolders::HasColumn(const QString& schema, const QString& table, const QString& column)
{
    return Columns(schema, table).contains(column, Qt::CaseInsensitive);
}

TableFolders* TableFolders::OfDriver(const QSqlDriver* driver)
{
    const std::lock_guard<std::mutex> lock(connectionsMutex);
    const auto it = openConnections.find(driver);
    return it == openConnections.end() ? nullptr : it->second;
}

void TableFolders::AbortAfterFailure()
{
    if (!inTransaction_ || aborted_) return;
    RollbackConnection();
    aborted_ = true;
}

void TableFolders::RollbackConnection()
{
    if (location_.server) {
        db_.rollback();
    } else {
        QSqlQuery q(db_);
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void TableFolders::AfterFailure()
{
    AbortAfterFailure();
    // A server that went away (restarted, or the network dropped) fails every
    // statement from now on: tell by asking it something trivial.
    if (location_.server && !lost_) {
        if (!db_.isOpen()) {
            lost_ = true;
        } else {
            QSqlQuery probe(db_);
            if (!probe.exec(QStringLiteral("SELECT 1"))) lost_ = true;
        }
    }
}

void TableFolders::CheckNotAborted() const
{
    if (aborted_) throw DbError("An earlier statement of this change failed; the whole change was undone.");
}

QSqlQuery TableFolders::Prepare(const QString& sql)
{
    CheckNotAborted();
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        const QSqlError e = q.lastError();
        AfterFailure();
        Throw(e);
    }
    return q;
}

void TableFolders::Exec(QSqlQuery& q)
{
    TableFolders* owner = OfDriver(q.driver());
    if (owner) owner->CheckNotAborted();
    if (q.exec()) return;
    const QSqlError e = q.lastError();
    if (owner) owner->AfterFailure();
    Throw(e);
}

QVariant TableFolders::ExecReturning(QSqlQuery& q)
{
    Exec(q);
    if (!q.next()) throw DbError("The database did not number the new row.");
    const QVariant v = q.value(0);
    q.finish();
    return v;
}

void TableFolders::Exec(const QString& sql)
{
    CheckNotAborted();
    QSqlQuery q(db_);
    if (q.exec(sql)) return;
    const QSqlError e = q.lastError();
    AfterFailure();
    Throw(e);
}

void TableFolders::Begin()
{
    if (location_.server) {
        if (!db_.transaction()) Throw(db_.lastError());
    } else {
        // Deferred, SQLite would take the write lock only at the first write,
        // and give up at once ("database is locked") when another connection
        // is waiting for it too.
        Exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    inTransaction_ = true;
}

void TableFolders::Commit()
{
    if (aborted_) {
        Rollback();
        throw DbError("An earlier statement of this change failed; the whole change was undone.");
    }
    QSqlError e;
    if (location_.server) {
        if (!db_.commit()) e = db_.lastError();
    } else {
        QSqlQuery q(db_);
        if (!q.exec(QStringLiteral("COMMIT"))) e = q.lastError();
    }
    if (e.isValid()) {
        Rollback();
        Throw(e);
    }
    inTransaction_ = false;
}

void TableFolders::Rollback()
{
    // An aborted transaction was rolled back when it failed.
    if (!aborted_) RollbackConnection();
    inTransaction_ = false;
    aborted_ = false;
}

void TableFolders::LockForWriting(const QString& schema, const QString& table)
{
    if (!inTransaction_) throw DbError("A table is locked for writing only inside a transaction.");
    if (location_.server) Exec(QStringLiteral("LOCK TABLE ") + Qualified(schema, table) + QStringLiteral(" IN SHARE ROW EXCLUSIVE MODE"));
}

namespace {

// A database name quoted as written (letter case kept).
QString QuoteName(const QString& name)
{
    QString s = name;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// Runs `sql` outside any transaction on the database `connection` names.
void ServerExec(const QString& connection, const QString& sql)
{
    const DatabaseLocation loc = ParseDatabaseLocation(connection);
    if (!loc.server) throw DbError("Databases are made only on a server.");
    const QString name = QStringLiteral("pelix-admin-%1").arg(connectionCounter.fetch_add(1));
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        ApplyLocation(admin, loc);
        QSqlError e;
        if (!admin.open()) {
            e = admin.lastError();
        } else {
            QSqlQuery q(admin);
            if (!q.exec(sql)) e = q.lastError();
        }
        admin.close();
        if (e.isValid()) {
            admin = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw DbError(loc.Display().toStdString() + ": " + ErrorText(e).toStdString());
        }
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

void CreateServerDatabase(const QString& connection, const QString& name, const QString& templateName)
{
    ServerExec(connection, QStringLiteral("CREATE DATABASE ") + QuoteName(name) +
                               (templateName.isEmpty() ? QString() : QStringLiteral(" TEMPLATE ") + QuoteName(templateName)));
}

void DropServerDatabase(const QString& connection, const QString& name)
{
    ServerExec(connection, QStringLiteral("DROP DATABASE IF EXISTS ") + QuoteName(name) + QStringLiteral(" WITH (FORCE)"));
}

Transaction::Transaction(TableFolders& t) : t_(t)
{
    if (!t_.InTransaction()) {
        t_.Begin();
        owner_ = true;
    }
}

Transaction::~Transaction()
{
    if (owner_ && !done_) t_.Rollback();
}

void Transaction::Commit()
{
    if (owner_ && !done_) t_.Commit();
    done_ = true;
}

}  // namespace pelix::db
