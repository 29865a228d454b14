// A data folder with the shipped tables, a program state with the English
// texts, and the customer database on it.
#pragma once

#include "db/customerdb.h"
#include "model/image.h"
#include "support/testsupport.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace pelix::test {

// The back end the database tests run on: SQLite files in the data folder, or,
// with PELIX_TEST_BACKEND=postgresql in the environment, the PostgreSQL server
// whose address PELIX_TEST_PG gives (scripts/pg-test-server starts one).
bool OnServer();
// PELIX_TEST_PG; empty when not set.
QString ServerBaseAddress();
// The server address with `database` in place of the base address's database.
QString ServerAddress(const QString& database);

// A database of its own on the test server for one test, made empty or as a
// copy of `templateName`, and dropped again at the end.
class ServerDatabase {
public:
    explicit ServerDatabase(const QString& templateName = QString());
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;
    const QString& Name() const { return name_; }
    // The connection setting that reaches it.
    QString Connection() const { return ServerAddress(name_); }

private:
    QString name_;
};

struct DbFixture : ::testing::Test {
    TempFolder t;
    RecordingFeedback fb;
    ProgramState st{fb};
    std::unique_ptr<ServerDatabase> server;  // on the server back end only
    std::unique_ptr<CustomerDatabase> db;

    void SetUp() override;
    void TearDown() override;

    // Rows of `table` (a configuration table, or "Clienti") for `serial`.
    int Count(const char* table, int serial);
    QVariant Value(const char* table, const char* column, int serial);
    void Exec(const QString& sql);
    // From now on every insert into `table` of `schema` fails with `message`.
    void FailInserts(const QString& schema, const QString& table, const QString& message);

    // A fresh image of `model` for a new customer `name` / `code`, with every
    // field that the tables keep changed from its default.
    void NewCustomer(int model, const std::string& name, const std::string& code, int seed = 1);
};

// Every stored field of `image` changed from its default, varied by `seed`.
void FillStoredFields(Tag_GlobalBuffer& image, int model, int seed);

// The fields that the tables do not keep for `model` taken from `loaded`, so
// that what is left compares stored against loaded.
void TakeUnstoredFields(Tag_GlobalBuffer& expected, const Tag_GlobalBuffer& loaded, int model);

// The first line where the JSON forms of two images differ; empty when equal.
std::string FirstDifference(const Tag_Cliente& h, const Tag_GlobalBuffer& a, const Tag_GlobalBuffer& b);

}  // namespace pelix::test
