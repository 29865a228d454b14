#include "pages/codinst.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace pelix;

namespace {

struct CodInstFixture : ::testing::Test {
    pelix::test::TempFolder t;
    RecordingFeedback fb;
    ProgramState st{fb};
    QSettings store{t.file("pelix.ini"), QSettings::IniFormat};

    void SetUp() override
    {
        st.store = &store;
        st.modelNames[kModelG] = "MX7720-IG";  // as start-up leaves the names
        st.cliente.TipoCentrale = kModelG;
        st.cliente.Rel_firmware = "1.00";
    }
    QStringList Items(QComboBox* c)
    {
        QStringList l;
        for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
        return l;
    }
};

}  // namespace

TEST_F(CodInstFixture, OnlyTheNamedModelAndItsReleases)
{
    TfrmCodInst dlg(st);
    dlg.show();
    EXPECT_EQ(Items(dlg.cbPanel), QStringList{"MX7720-IG"});
    EXPECT_EQ(Items(dlg.cbFirmware), (QStringList{"2.1x", "3.1x"}));
    EXPECT_EQ(dlg.cbFirmware->currentText(), "2.1x");  // no item matches 1.00: the first
    dlg.TimeOutSpin->setValue(250);
    dlg.tbOk->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(st.cliente.Rel_firmware, "2.10");
    EXPECT_EQ(st.Model(), kModelG);
    EXPECT_EQ(st.settings.TimeOut, 250);
    EXPECT_EQ(store.value("Miscellaneous/Firmware").toString(), "2.10");
    EXPECT_EQ(store.value("Miscellaneous/TipoCentrale").toInt(), 19);
    EXPECT_EQ(store.value("Miscellaneous/TimeOut").toInt(), 250);
}

TEST_F(CodInstFixture, ChoosingAnotherNamedModel)
{
    st.modelNames[kModelA] = "PELIX-A";
    st.modelNames[kModelI] = "PELIX-I";
    st.cliente.Rel_firmware = "3.10";
    TfrmCodInst dlg(st);
    dlg.show();
    EXPECT_EQ(Items(dlg.cbPanel), (QStringList{"PELIX-A", "PELIX-I", "MX7720-IG"}));
    EXPECT_EQ(dlg.cbFirmware->currentText(), "3.1x");
    dlg.cbPanel->setCurrentIndex(0);
    EXPECT_EQ(Items(dlg.cbFirmware), (QStringList{"1.0x", "1.1x"}));
    EXPECT_EQ(dlg.cbFirmware->currentText(), "1.1x");
    dlg.tbOk->click();
    EXPECT_EQ(st.Model(), kModelA);
    EXPECT_EQ(st.cliente.Rel_firmware, "1.10");
}

TEST_F(CodInstFixture, CancelChangesNothing)
{
    st.cliente.Rel_firmware = "9.99";
    TfrmCodInst dlg(st);
    dlg.show();
    EXPECT_EQ(dlg.cbFirmware->currentText(), "2.1x");
    dlg.cbFirmware->setCurrentIndex(1);
    dlg.TimeOutSpin->setValue(400);
    dlg.tbCancel->click();
    EXPECT_EQ(st.cliente.Rel_firmware, "9.99");
    EXPECT_EQ(st.settings.TimeOut, 100);
    EXPECT_FALSE(store.contains("Miscellaneous/TimeOut"));
}

TEST_F(CodInstFixture, ANamelessCurrentModelStaysOnOk)
{
    st.cliente.TipoCentrale = kModelI;  // a stored PELIX-I customer after start-up
    st.cliente.Rel_firmware = "1.00";
    TfrmCodInst dlg(st);
    dlg.show();
    EXPECT_EQ(dlg.cbPanel->currentIndex(), -1);
    EXPECT_EQ(Items(dlg.cbFirmware), (QStringList{"1.0x", "1.1x", "1.0x"}));
    dlg.tbOk->click();
    EXPECT_EQ(st.Model(), kModelI);
    EXPECT_EQ(st.cliente.Rel_firmware, "1.00");
}
