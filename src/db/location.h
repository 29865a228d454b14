// Where the customer tables live. The connection setting is either empty (the
// default: SQLite files in the data folder and its sub-folders) or a PostgreSQL
// address
//
//   postgresql://[USER@][HOST][:PORT]/DATABASE[?host=SOCKET-FOLDER]
//
// shared by every installer's PC. The password never appears in the setting:
// the PostgreSQL client library takes it from PGPASSWORD or from a pgpass file.
#pragma once

#include <QString>

namespace pelix::db {

struct DatabaseLocation {
    bool server = false;  // false: SQLite in the data folder
    QString host;         // name, address or socket folder; empty = the local socket
    int port = 5432;
    QString database;
    QString user;  // empty = the login name

    // The address as the user wrote it, without any password; empty for SQLite.
    QString Display() const;
};

// Reads a connection setting. Throws DbError naming what is wrong with it.
DatabaseLocation ParseDatabaseLocation(const QString& text);

// Whether `text` names a server (as opposed to a data folder, say).
bool IsServerAddress(const QString& text);

}  // namespace pelix::db
