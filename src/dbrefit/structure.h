// Tables made from the structure tables: DBSTRUCT1 lists every table of the
// suite with its sub-folder, DBsTRUCT2 their columns, keys and indexes. The
// shipped text form of both ("STRUCT/DBSTRUCT1.txt", "STRUCT/DBsTRUCT2.txt" in
// the program folder) is loaded into the data folder's database first.
#pragma once

#include "common/feedback.h"
#include "db/tablefolders.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace pelix::refit {

struct StructColumn {
    QString name;
    QString type;
    int length = 0;
};

// One table as DBSTRUCT1 and DBsTRUCT2 describe it.
struct StructTable {
    int number = 0;
    QString name;  // without its ".DB"
    QString path;  // sub-folder, empty for the data folder
    std::vector<StructColumn> columns;
    QString primary;
    std::array<QString, 3> sec;
    std::array<QString, 3> secName;
};

// "(n)" for CHAR, "(n + 1)" for BYTES (without regard to case), else nothing.
QString SizeSuffix(const QString& type, int length);

// The column type a structure type is written as: as it stands (with its size)
// for SQLite; in PostgreSQL's spelling on a server, where `autoNumber` makes an
// INTEGER numbered by the database.
QString ColumnType(const QString& type, int length, bool server, bool autoNumber);

// The CREATE TABLE text for `table` under the quoted, qualified name given;
// column names in lower case on a server.
QString CreateTableStatement(const QString& qualifiedName, const StructTable& table, bool server = false);

// Replaces the structure tables of the main folder's database by the content of
// the two text files in `textFolder`. Throws db::DbError naming the file and line
// of a malformed entry.
void InstallStructureTables(db::TableFolders& t, const QString& textFolder);

// The tables listed in the structure tables, with their columns and keys.
std::vector<StructTable> ReadStructure(db::TableFolders& t);

// Shows progress: the name of the table being worked on.
using StatusFn = std::function<void(const QString&)>;

// Creates every listed table missing from its folder (created when missing) under
// the main folder, with its key and indexes; extends existing ones with the
// columns they lack unless `createOnly`. Progress goes to `status` when given
// (with the sub-folder in front when `labelWithPath`), else to the progress
// display of `fb`. The first error is shown and ends the walk. Leaves the marker
// "AltFlag.501" in the main folder. Always true.
bool CreateTables(db::TableFolders& t, bool createOnly, const StatusFn& status, bool labelWithPath, Feedback& fb);

// Adds the columns of structure table `tableNum` that `table` in `folder` lacks,
// all or none. Returns the column definitions added ("NAME TYPE(n)").
QStringList AddMissingColumns(db::TableFolders& t, const QString& folder, const QString& table, int tableNum);

// Loads the shipped structure into `dataFolder` (created when missing) and
// creates every table: the table part of an upgrade run. Errors are shown.
// `database` as for TableFolders: empty for SQLite in the data folder.
void PrepareTables(const QString& dataFolder, const QString& structFolder, Feedback& fb,
                   const QString& database = QString());

bool TableHasField(db::TableFolders& t, const QString& folder, const QString& table, const QString& column);

}  // namespace pelix::refit
