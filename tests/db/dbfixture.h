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

struct DbFixture : ::testing::Test {
    TempFolder t;
    RecordingFeedback fb;
    ProgramState st{fb};
    std::unique_ptr<CustomerDatabase> db;

    void SetUp() override;

    // Rows of `table` (a configuration table, or "Clienti") for `serial`.
    int Count(const char* table, int serial);
    QVariant Value(const char* table, const char* column, int serial);
    void Exec(const QString& sql);

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
