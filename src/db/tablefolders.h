// A folder of tables as one database. Each folder holds one SQLite file
// ("tables.sqlite"); the data folder's file is the main database and the file of
// each of its sub-folders is attached under the sub-folder's name, so one
// statement (and one transaction) can reach every table. Table and column names
// compare without regard to case, as they always have.
//
// With a PostgreSQL connection the same folders are schemas of one server
// database instead: the data folder is the schema "main" (first on the search
// path, so unqualified names find its tables) and each sub-folder the schema of
// its name in lower case. Names are folded to lower case there, so that the
// quoted and unquoted spellings used in statements meet.
//
// This is the only place that opens a connection.
#pragma once

#include "db/location.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <stdexcept>
#include <string>

namespace pelix::db {

// A database failure, carrying the driver's own text for the user.
class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    DbError(const std::string& text, bool uniqueViolation) : std::runtime_error(text), unique_(uniqueViolation) {}
    // A unique index refused the change (a value another row already holds).
    bool UniqueViolation() const { return unique_; }

private:
    bool unique_ = false;
};

constexpr const char* kTablesFileName = "tables.sqlite";

class TableFolders {
public:
    // Opens (creating when missing) the database of `mainFolder`, which must
    // exist, or, when `connection` names a server, that server's database (the
    // folder is then only the name the sub-folders are found under). Throws
    // DbError.
    explicit TableFolders(const QString& mainFolder, const QString& connection = QString());
    ~TableFolders();
    TableFolders(const TableFolders&) = delete;
    TableFolders& operator=(const TableFolders&) = delete;

    const QString& MainFolder() const { return mainFolder_; }
    bool IsServer() const { return location_.server; }
    const DatabaseLocation& Location() const { return location_; }

    // The schema that holds the tables of `folder`: "main" for the main folder,
    // the sub-folder's name for a direct sub-folder (attached on first use). A
    // sub-folder that does not exist is created only when `create` is set;
    // otherwise, like any other folder, it throws DbError.
    QString Schema(const QString& folder, bool create = false);
    // The schema of a sub-folder given by name ("" = the main folder).
    QString SubSchema(const QString& subFolder, bool create = false);

    bool TableExists(const QString& schema, const QString& table);
    // Column names of a table as the database holds them; empty when the table
    // does not exist.
    QStringList Columns(const QString& schema, const QString& table);
    bool HasColumn(const QString& schema, const QString& table, const QString& column);

    // "schema"."table", quoted for a statement.
    QString Qualified(const QString& schema, const QString& table) const;
    QString Quote(const QString& identifier) const;
    // CREATE [UNIQUE] INDEX IF NOT EXISTS `name` on `table` of `schema`.
    QString CreateIndexStatement(const QString& schema, const QString& name, const QString& table,
                                 const QString& columns, bool unique) const;

    // A prepared statement; throws DbError with the driver's text.
    QSqlQuery Prepare(const QString& sql);
    // Runs a prepared statement (after binding) or a whole statement text.
    static void Exec(QSqlQuery& q);
    // Runs an INSERT ... RETURNING of one column and gives the value returned
    // (the key the database numbered); throws DbError when there is none. The
    // statement is finished, so the transaction can commit.
    static QVariant ExecReturning(QSqlQuery& q);
    void Exec(const QString& sql);

    // Transactions span the main file and every attached one, and commit or
    // roll back as a unit. A transaction is for writing: with SQLite it takes
    // the write lock at once (waiting for another writer up to five seconds),
    // so that what it reads first cannot change before it writes.
    void Begin();
    void Commit();
    void Rollback();  // never throws
    bool InTransaction() const { return inTransaction_; }
    // The server connection broke (a statement failed and the server no longer
    // answers): only a new connection can go on.
    bool Lost() const { return lost_; }
    // Inside a transaction: no other connection writes `table` until this
    // transaction ends; others still read it. (SQLite has this already.)
    void LockForWriting(const QString& schema, const QString& table);

    QSqlDatabase& Connection() { return db_; }

private:
    void SetPragmas(const QString& schema);
    // A statement failed inside a transaction: the whole transaction is rolled
    // back at once (a server has aborted it anyway; the statements still open
    // can then be freed) and every further statement of it is refused, so
    // that nothing written before the failure can be committed after it.
    void AbortAfterFailure();
    void RollbackConnection();  // the ROLLBACK itself, whatever the flags say
    void AfterFailure();  // AbortAfterFailure, and whether the server is still there
    void CheckNotAborted() const;
    static TableFolders* OfDriver(const QSqlDriver* driver);
    void OpenSqlite();
    void OpenServer();
    void Register();  // in the list of open connections, by driver
    void Close();     // out of it, and the connection closed and removed
    bool SchemaExists(const QString& schema);
    DatabaseLocation location_;
    QString mainFolder_;
    QString connectionName_;
    QSqlDatabase db_;
    std::map<QString, QString> attached_;  // upper-case sub-folder name -> schema
    bool inTransaction_ = false;
    bool aborted_ = false;
    bool lost_ = false;
};

// Makes database `name` on the server that `connection` reaches (as a copy of
// `templateName` when given), or drops it with whatever is connected to it. The
// user of the connection needs the right to create databases. For setting up a
// server, and for tests and benchmarks that want a database of their own.
void CreateServerDatabase(const QString& connection, const QString& name, const QString& templateName = QString());
void DropServerDatabase(const QString& connection, const QString& name);

// Commits when told to; rolls back when it goes out of scope otherwise. Nested
// use inside an open transaction joins the outer one.
class Transaction {
public:
    explicit Transaction(TableFolders& t);
    ~Transaction();
    void Commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    TableFolders& t_;
    bool owner_ = false;
    bool done_ = false;
};

}  // namespace pelix::db
