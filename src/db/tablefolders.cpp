#include "tablefolders.h"

#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

#include <atomic>

namespace pelix::db {

namespace {

std::atomic<int> connectionCounter{0};

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
    return t;
}

[[noreturn]] void Throw(const QSqlError& e) { throw DbError(ErrorText(e).toStdString()); }

}  // namespace

TableFolders::TableFolders(const QString& mainFolder)
    : mainFolder_(Clean(mainFolder)),
      connectionName_(QStringLiteral("pelix-tables-%1").arg(connectionCounter.fetch_add(1)))
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
    SetPragmas(QStringLiteral("main"));
}

TableFolders::~TableFolders()
{
    if (inTransaction_) Rollback();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
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

    QString path = ResolveNoCase(mainFolder_ + u'/' + name);
    if (!QFileInfo(path).isDir()) {
        if (!create || !QDir().mkpath(mainFolder_ + u'/' + name))
            throw DbError("The folder " + QDir::toNativeSeparators(mainFolder_ + u'/' + name).toStdString() +
                          " does not exist.");
        path = mainFolder_ + u'/' + name;
    }
    if (inTransaction_) throw DbError("A folder of tables cannot be opened inside a transaction.");
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

QString TableFolders::Quote(const QString& identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString TableFolders::Qualified(const QString& schema, const QString& table) { return Quote(schema) + u'.' + Quote(table); }

bool TableFolders::TableExists(const QString& schema, const QString& table)
{
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
    QSqlQuery q = Prepare(QStringLiteral("SELECT * FROM ") + Qualified(schema, table) + QStringLiteral(" WHERE 0"));
    Exec(q);
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i) names << r.fieldName(i);
    return names;
}

bool TableFolders::HasColumn(const QString& schema, const QString& table, const QString& column)
{
    return Columns(schema, table).contains(column, Qt::CaseInsensitive);
}

QSqlQuery TableFolders::Prepare(const QString& sql)
{
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) Throw(q.lastError());
    return q;
}

void TableFolders::Exec(QSqlQuery& q)
{
    if (!q.exec()) Throw(q.lastError());
}

void TableFolders::Exec(const QString& sql)
{
    QSqlQuery q(db_);
    if (!q.exec(sql)) Throw(q.lastError());
}

void TableFolders::Begin()
{
    if (!db_.transaction()) Throw(db_.lastError());
    inTransaction_ = true;
}

void TableFolders::Commit()
{
    if (!db_.commit()) {
        const QSqlError e = db_.lastError();
        Rollback();
        Throw(e);
    }
    inTransaction_ = false;
}

void TableFolders::Rollback()
{
    db_.rollback();
    inTransaction_ = false;
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
