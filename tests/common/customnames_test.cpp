#include "common/customnames.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace pelix;
using pelix::test::TempFolder;

TEST(CustomNames, DefaultsWithoutTheFile)
{
    TempFolder t;
    const CustomNames n = ReadCustomNames(t.path());
    EXPECT_EQ(n.names[1], "Lumera");
    EXPECT_EQ(n.names[21], "PELIX-A");
    EXPECT_EQ(n.names[22], "PELIX-I");
    EXPECT_EQ(n.names[19], "");
    EXPECT_EQ(n.Modem, "LumeraMod");
    EXPECT_EQ(n.Firm, "Corvane Security srl");
    EXPECT_EQ(n.Cennetsw, "Zenta Unit");
    EXPECT_EQ(n.Logo, "");
}

TEST(CustomNames, TheFileOverridesAndMissingKeysAreEmpty)
{
    TempFolder t;
    t.write("personal.ini", "[Other]\nPELIX=no\n[personal]\npelix = Acme GSM\nFirm=\nLogo=logo.bmp\n");
    const CustomNames n = ReadCustomNames(t.path());
    EXPECT_EQ(n.names[21], "Acme GSM");
    EXPECT_EQ(n.names[22], "Acme GSM");
    EXPECT_EQ(n.names[1], "");              // no 80ZONE key in the file
    EXPECT_EQ(n.Logo, "logo.bmp");
    EXPECT_EQ(n.Firm, "");                  // present but empty
    EXPECT_EQ(n.Modem, "LumeraMod");        // absent: falls back
    EXPECT_EQ(n.Cennetsw, "Zenta Unit");
}
