#include "dataupdates.h"

#include <QVariantList>

#include <algorithm>
#include <array>
#include <utility>

namespace pelix::refit {

using db::DbError;
using db::TableFolders;

namespace {

struct CountrySet {
    const char* name;
    int lungValidaSquillo;
    int pausaTraSquilli;
    int pausaAltri;
};

constexpr std::array<CountrySet, 9> kCountries = {{
    {"ITALIA", 600, 6000, 5000},
    {"NEDERLAND", 600, 6000, 60000},
    {"BELGIUM", 600, 4500, 5000},
    {"CZECH REPUBLIC", 600, 4500, 5000},
    {"SPAIN", 900, 4500, 5000},
    {"PORTUGAL", 600, 7500, 5000},
    {"HUNGARY", 750, 5700, 5000},
    {"CROATIA", 600, 6000, 5000},
    {"EUROPEAN GENERIC", 210, 4500, 5000},
}};

using Tones = std::array<std::pair<int, int>, 13>;
constexpr std::array<Tones, 10> kTones = {{
    {{{5, 8}, {5, 8}, {17, 22}, {29, 37}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {11, 14}}},
    {{{20, 0}, {0, 0}, {0, 0}, {0, 0}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {6, 10}, {6, 10}, {6, 10}, {6, 10}, {11, 14}}},
    {{{20, 0}, {0, 0}, {0, 0}, {0, 0}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {4, 7}, {4, 7}, {4, 7}, {4, 7}, {11, 14}}},
    {{{9, 13}, {9, 13}, {20, 24}, {20, 24}, {9, 13}, {9, 13}, {9, 13}, {9, 13}, {9, 13}, {9, 13}, {9, 13}, {9, 13}, {11, 14}}},
    {{{20, 0}, {0, 0}, {0, 0}, {0, 0}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {10, 14}}},
    {{{20, 0}, {0, 0}, {0, 0}, {0, 0}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {10, 14}}},
    {{{20, 0}, {0, 0}, {0, 0}, {0, 0}, {8, 12}, {8, 12}, {8, 12}, {8, 12}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {11, 14}}},
    {{{5, 8}, {8, 12}, {21, 26}, {24, 29}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {5, 8}, {5, 8}, {5, 8}, {5, 8}, {11, 14}}},
    {{{20, 0}, {0, 0}, {0, 0}, {0, 0}, {2, 12}, {2, 12}, {2, 12}, {2, 12}, {5, 19}, {5, 19}, {5, 19}, {5, 19}, {8, 19}}},
    {{{4, 9}, {4, 9}, {16, 24}, {25, 38}, {14, 19}, {14, 19}, {14, 19}, {14, 19}, {4, 9}, {4, 9}, {4, 9}, {4, 9}, {10, 16}}},
}};

// Column values of country set i, in the order of the INSERT below.
std::vector<std::pair<const char*, QVariant>> SetValues(std::size_t i)
{
    if (i < kCountries.size()) {
        const CountrySet& c = kCountries[i];
        return {
            {"DesParam", QString::fromLatin1(c.name)},
            {"LungValidaSquillo", CutToStep(c.lungValidaSquillo)},
            {"PausaTraSquilli", CutToStep(c.pausaTraSquilli)},
            {"PausaAltri", CutToStep(c.pausaAltri)},
            {"AttesaSaltoRisponditore", CutToStep(60000)},
            {"PausaPrimoSecondo", CutToStep(5000)},
            {"AttesaDialTA", CutToStep(7500)},
            {"AttesaDialTD", CutToStep(5000)},
            {"DurataPausaSelezione", CutToStep(1500)},
            {"PausaInterdigit", EncodeInterdigit(130)},
            {"Intervallo", CutToStep(3000)},
            {"AttesaStabLinea", CutToStep(1200)},
        };
    }
    // The set of the PARTEL ZENTA line goes in with its values as they are.
    return {
        {"DesParam", QStringLiteral("PARTELZENTA")},
        {"LungValidaSquillo", 150},
        {"LungValidaSquilloHigh", 1800},
        {"PausaTraSquilli", 3000},
        {"AttesaSaltoRisponditore", 60000},
        {"PausaPrimoSecondo", 10000},
        {"PausaAltri", 20000},
        {"PausaPrimoSecondoAT", 30000},
        {"PausaAltriAT", 60000},
        {"DurataPausaSelezione", 2000},
        {"TempodiCifra", 80},
        {"PausaInterdigit", 80},
        {"Intervallo", 3000},
        {"AttesaStabLinea", 1200},
        {"AttesaDialTA", 12000},
        {"AttesaDialTD", 2000},
        {"DefaultDTMFSet_0", 60},
        {"DefaultDTMFSet_1", 40},
        {"DefaultDTMFSet_2", 100},
        {"DefaultDTMFSet_3", 100},
        {"DefaultDTMFSet_4", 0},
        {"ZentaCreated", 1},
    };
}

}  // namespace

int CutToStep(int value) { return value / 30 * 30; }

int InterdigitCode(int value)
{
    const int code = value - 70 < 0 ? 0 : (value - 70) / 30 - 1;
    return std::clamp(code, 0, 31);
}

int EncodeInterdigit(int value)
{
    const int code = InterdigitCode(value);
    return code == 0 ? 70 : (code + 1) * 30 + 70;
}

int SeedCountryParameters(TableFolders& t, const QString& lumeraFolder, Feedback& fb)
{
    const QString schema = t.Schema(lumeraFolder);
    const QString avtel = t.Qualified(schema, QStringLiteral("AVTEL"));
    const QString rictoni = t.Qualified(schema, QStringLiteral("RICTONI"));
    int inserted = 0;
    for (std::size_t i = 0; i < kTones.size(); ++i) {
        const auto values = SetValues(i);
        try {
            QSqlQuery find = t.Prepare(QStringLiteral("SELECT 1 FROM ") + avtel + QStringLiteral(" WHERE DesParam = ?"));
            find.addBindValue(values.front().second);
            TableFolders::Exec(find);
            if (find.next()) continue;

            // The set and its tone rows go in together or not at all, so a set
            // is never left without its tones (a later run would skip it).
            db::Transaction tx(t);
            QStringList names, marks;
            for (const auto& v : values) {
                names << QString::fromLatin1(v.first);
                marks << QStringLiteral("?");
            }
            QSqlQuery ins = t.Prepare(QStringLiteral("INSERT INTO ") + avtel + QStringLiteral(" (") + names.join(u", ") +
                                      QStringLiteral(") VALUES (") + marks.join(u", ") + QStringLiteral(") RETURNING CodParam"));
            for (const auto& v : values) ins.addBindValue(v.second);
            const QVariant codParam = TableFolders::ExecReturning(ins);
            QSqlQuery tone = t.Prepare(QStringLiteral("INSERT INTO ") + rictoni +
                                       QStringLiteral(" (CodParam, Progres, Low, High) VALUES (?, ?, ?, ?)"));
            for (int k = 0; k < 13; ++k) {
                tone.bindValue(0, codParam);
                tone.bindValue(1, k);
                tone.bindValue(2, kTones[i][static_cast<std::size_t>(k)].first);
                tone.bindValue(3, kTones[i][static_cast<std::size_t>(k)].second);
                TableFolders::Exec(tone);
            }
            tx.Commit();
            ++inserted;
        } catch (const DbError& e) {
            ShowMsg(fb, e.what(), MsgType::Warning);
        }
    }
    return inserted;
}

void CorrectOlderTable(TableFolders& t, const QString& folder, const QString& tableFile)
{
    try {
        const QString table = tableFile.section(u'.', 0, 0);
        const bool comun = table.compare(u"Q_COMUN", Qt::CaseInsensitive) == 0;
        t.Exec(QStringLiteral("UPDATE ") + t.Qualified(t.Schema(folder), table) + u'\n' +
               (comun ? QStringLiteral("SET OpzTel = -1") : QStringLiteral("SET Opzioni3 = 255")));
    } catch (const DbError&) {
        // A one-off correction of another product's data: nothing to tell.
    }
}

void InsertFirstInstallationRow(TableFolders& t)
{
    QSqlQuery q = t.Prepare(QStringLiteral("INSERT INTO main.COMUNE (PANELTYPE, TOGOINTO, SERIALCLI) VALUES (9, ?, 6)"));
    q.addBindValue(QStringLiteral("Vq3!mB8~xR2$kT9%"));
    TableFolders::Exec(q);
}

void EnsureMasterUser(TableFolders& t, const QString& folder)
{
    const QString users = t.Qualified(t.Schema(folder), QStringLiteral("USERS"));
    QSqlQuery find = t.Prepare(QStringLiteral("SELECT 1 FROM ") + users + QStringLiteral(" WHERE Utente = ?"));
    find.addBindValue(QStringLiteral("master"));
    TableFolders::Exec(find);
    if (find.next()) return;
    QSqlQuery ins = t.Prepare(QStringLiteral("INSERT INTO ") + users +
                              QStringLiteral(" (Utente, PWD, Accesso1, Accesso2, Accesso3) VALUES (?, ?, 255, 255, 255)"));
    ins.addBindValue(QStringLiteral("master"));
    ins.addBindValue(QStringLiteral("A1E3F09B7D24C8E6"));
    TableFolders::Exec(ins);
}

}  // namespace pelix::refit
