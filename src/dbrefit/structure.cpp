#include "structure.h"

#include "common/paths.h"

#include <QDir>
#include <QFile>
#include <QSqlRecord>
#include <QStringConverter>
#include <QTextStream>

namespace pelix::refit {

using db::DbError;
using db::TableFolders;

namespace {

std::vector<QStringList> ReadEntries(const QString& path, int fields)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw DbError("Cannot read the structure file " + path.toStdString() + ": " + f.errorString().toStdString());
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    std::vector<QStringList> entries;
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        QStringList parts = line.split(u'|');
        if (parts.size() != fields)
            throw DbError(path.toStdString() + ":" + std::to_string(lineNo) + ": " + std::to_string(fields) +
                          " fields separated by '|' expected, found " + std::to_string(parts.size()) + ".");
        for (auto& p : parts) p = p.trimmed();
        bool ok = false;
        parts[0].toInt(&ok);
        if (!ok) throw DbError(path.toStdString() + ":" + std::to_string(lineNo) + ": the table number is not a number.");
        if (fields > 3) {
            parts[3].toInt(&ok);
            if (!ok && !parts[3].isEmpty())
                throw DbError(path.toStdString() + ":" + std::to_string(lineNo) + ": the length is not a number.");
        }
        entries.push_back(parts);
    }
    return entries;
}

QString SubFolderPath(const TableFolders& t, const QString& path)
{
    return path.isEmpty() ? t.MainFolder() : JoinPath(t.MainFolder(), u'/' + path);
}

}  // namespace

QString SizeSuffix(const QString& type, int length)
{
    if (type.compare(u"CHAR", Qt::CaseInsensitive) == 0) return QStringLiteral("(%1)").arg(length);
    if (type.compare(u"BYTES", Qt::CaseInsensitive) == 0) return QStringLiteral("(%1)").arg(length + 1);
    return {};
}

QString CreateTableStatement(const QString& qualifiedName, const StructTable& table)
{
    QStringList lines;
    lines << QStringLiteral("CREATE TABLE ") + qualifiedName << QStringLiteral("(");
    const bool key = !table.primary.trimmed().isEmpty();
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const StructColumn& c = table.columns[i];
        const bool last = i + 1 == table.columns.size() && !key;
        lines << TableFolders::Quote(c.name) + u' ' + c.type + SizeSuffix(c.type, c.length) + (last ? "" : ",");
    }
    if (key) lines << QStringLiteral("PRIMARY KEY(") + table.primary + u')';
    lines << QStringLiteral(")");
    return lines.join(u'\n');
}

void InstallStructureTables(TableFolders& t, const QString& textFolder)
{
    const auto tables = ReadEntries(ResolveNoCase(JoinPath(textFolder, QStringLiteral("/DBSTRUCT1.txt"))), 3);
    const auto columns = ReadEntries(ResolveNoCase(JoinPath(textFolder, QStringLiteral("/DBsTRUCT2.txt"))), 11);

    db::Transaction tx(t);
    t.Exec(QStringLiteral("DROP TABLE IF EXISTS main.DBSTRUCT1"));
    t.Exec(QStringLiteral("DROP TABLE IF EXISTS main.DBsTRUCT2"));
    t.Exec(QStringLiteral("CREATE TABLE main.DBSTRUCT1 (TABLENUM INTEGER, TABLENAME CHAR(40), PATH CHAR(40))"));
    t.Exec(QStringLiteral(
        "CREATE TABLE main.DBsTRUCT2 (TableNum INTEGER, NAME CHAR(40), TYPE CHAR(20), LenCampoI INTEGER, "
        "\"Primary\" CHAR(100), Sec1 CHAR(100), Sec1Name CHAR(40), Sec2 CHAR(100), Sec2Name CHAR(40), "
        "Sec3 CHAR(100), Sec3Name CHAR(40))"));
    QSqlQuery q1 = t.Prepare(QStringLiteral("INSERT INTO main.DBSTRUCT1 (TABLENUM, TABLENAME, PATH) VALUES (?, ?, ?)"));
    for (const auto& e : tables) {
        q1.bindValue(0, e[0].toInt());
        q1.bindValue(1, e[1]);
        q1.bindValue(2, e[2]);
        TableFolders::Exec(q1);
    }
    QSqlQuery q2 = t.Prepare(QStringLiteral(
        "INSERT INTO main.DBsTRUCT2 (TableNum, NAME, TYPE, LenCampoI, \"Primary\", Sec1, Sec1Name, Sec2, Sec2Name, "
        "Sec3, Sec3Name) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const auto& e : columns) {
        q2.bindValue(0, e[0].toInt());
        for (int i = 1; i < 11; ++i) q2.bindValue(i, i == 3 ? QVariant(e[3].toInt()) : QVariant(e[i]));
        TableFolders::Exec(q2);
    }
    tx.Commit();
}

std::vector<StructTable> ReadStructure(TableFolders& t)
{
    std::vector<StructTable> out;
    QSqlQuery q = t.Prepare(QStringLiteral("SELECT TABLENUM, TABLENAME, PATH FROM main.DBSTRUCT1"));
    TableFolders::Exec(q);
    while (q.next()) {
        StructTable s;
        s.number = q.value(0).toInt();
        s.name = q.value(1).toString().trimmed();
        s.name.chop(3);
        s.path = q.value(2).toString().trimmed();
        out.push_back(std::move(s));
    }
    QSqlQuery c = t.Prepare(QStringLiteral("SELECT * FROM main.DBsTRUCT2 WHERE TableNum = :NumTable"));
    for (auto& s : out) {
        c.bindValue(QStringLiteral(":NumTable"), s.number);
        TableFolders::Exec(c);
        while (c.next()) {
            const QSqlRecord r = c.record();
            auto text = [&](const char* name) { return r.value(QString::fromLatin1(name)).toString().trimmed(); };
            s.columns.push_back({text("NAME"), text("TYPE"), r.value(QStringLiteral("LenCampoI")).toInt()});
            // Keys and indexes come from the first line that names them.
            if (s.primary.isEmpty()) s.primary = text("Primary");
            const char* secs[3] = {"Sec1", "Sec2", "Sec3"};
            const char* names[3] = {"Sec1Name", "Sec2Name", "Sec3Name"};
            for (std::size_t i = 0; i < 3; ++i) {
                if (s.sec[i].isEmpty()) s.sec[i] = text(secs[i]);
                if (s.secName[i].isEmpty()) s.secName[i] = text(names[i]);
            }
        }
    }
    return out;
}

bool TableHasField(TableFolders& t, const QString& folder, const QString& table, const QString& column)
{
    return t.HasColumn(t.Schema(folder), table, column);
}

QStringList AddMissingColumns(TableFolders& t, const QString& folder, const QString& table, int tableNum)
{
    const QString schema = t.Schema(folder);
    const QStringList have = t.Columns(schema, table);
    QStringList added;
    QSqlQuery c = t.Prepare(QStringLiteral("SELECT NAME, TYPE, LenCampoI FROM main.DBsTRUCT2 WHERE TableNum = ?"));
    c.addBindValue(tableNum);
    TableFolders::Exec(c);
    while (c.next()) {
        const QString name = c.value(0).toString().trimmed();
        const QString type = c.value(1).toString().trimmed();
        if (have.contains(name, Qt::CaseInsensitive) || added.contains(name, Qt::CaseInsensitive)) continue;
        added << name + u' ' + type + SizeSuffix(type, c.value(2).toInt());
    }
    if (added.isEmpty()) return added;
    // One column per ALTER TABLE is all SQLite takes; the transaction makes the
    // whole set one change.
    db::Transaction tx(t);
    for (const QString& def : added) {
        const QString name = def.section(u' ', 0, 0);
        const QString rest = def.section(u' ', 1);
        t.Exec(QStringLiteral("ALTER TABLE ") + TableFolders::Qualified(schema, table) + QStringLiteral(" ADD COLUMN ") +
               TableFolders::Quote(name) + u' ' + rest);
    }
    tx.Commit();
    return added;
}

bool CreateTables(TableFolders& t, bool createOnly, const StatusFn& status, bool labelWithPath, Feedback& fb)
{
    BusyScope busy(fb);
    bool progressShown = false;
    try {
        const std::vector<StructTable> tables = ReadStructure(t);
        if (!status) {
            fb.ProgressShow(std::string(), static_cast<int>(tables.size()));
            progressShown = true;
        }
        for (const StructTable& s : tables) {
            if (status) {
                status(labelWithPath ? s.path + u' ' + s.name : s.name);
            } else {
                fb.ProgressCaption(s.name.toStdString());
                fb.ProgressStep();
            }
            fb.ProcessEvents();

            const QString folder = SubFolderPath(t, s.path);
            const QString schema = t.SubSchema(s.path, true);
            if (t.TableExists(schema, s.name)) {
                if (!createOnly) AddMissingColumns(t, folder, s.name, s.number);
                continue;
            }
            db::Transaction tx(t);
            t.Exec(CreateTableStatement(TableFolders::Qualified(schema, s.name), s));
            for (std::size_t i = 0; i < 3; ++i) {
                if (s.sec[i].isEmpty()) continue;
                t.Exec(QStringLiteral("CREATE INDEX ") + TableFolders::Qualified(schema, s.secName[i]) +
                       QStringLiteral(" ON ") + TableFolders::Quote(s.name) + QStringLiteral(" (") + s.sec[i] + u')');
            }
            tx.Commit();
        }
    } catch (const DbError& e) {
        if (*e.what()) ShowMsg(fb, e.what(), MsgType::Warning);
    }
    if (progressShown) fb.ProgressClose();
    QFile marker(JoinPath(t.MainFolder(), QStringLiteral("/AltFlag.501")));
    if (marker.open(QIODevice::WriteOnly)) marker.close();
    return true;
}

void PrepareTables(const QString& dataFolder, const QString& structFolder, Feedback& fb)
{
    try {
        if (!QDir().mkpath(dataFolder)) throw DbError("Cannot create the folder " + dataFolder.toStdString() + ".");
        TableFolders t(dataFolder);
        InstallStructureTables(t, structFolder);
        CreateTables(t, false, {}, true, fb);
    } catch (const DbError& e) {
        ShowMsg(fb, e.what(), MsgType::Error);
    }
}

}  // namespace pelix::refit
