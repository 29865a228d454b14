// The status pages, the unlock dialog and the calls page against a simulated
// communicator on a pseudo-terminal.
#include "app/mainwindow.h"
#include "link/controller.h"
#include "link/linkfixture.h"
#include "pages/pagegrid.h"
#include "status/chiamate.h"
#include "status/sbloccapin.h"
#include "status/stato.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace pelix;
using namespace pelix::test;

namespace {

struct TestHost : StatusHost {
    TestHost()
    {
        charTimeout = kTestCharTimeout;
        secondMs = kTestSecondMs;
    }
    stRecPort port;
    stRecModemInfo info;
    bool everStarted = false;
    bool paused = false;
    int resumes = 0;
    bool treeEnabled = true;
    bool displayCleared = false;

    stRecPort& Port() override { return port; }
    stRecModemInfo& ModemInfo() override { return info; }
    bool MonitorRuns() override { return everStarted; }
    bool MonitorEverStarted() override { return everStarted; }
    bool PauseMonitor(int) override { return paused = true; }
    void ResumeMonitor() override
    {
        paused = false;
        ++resumes;
    }
    void ClearDisplayLine2AndPicture() override { displayCleared = true; }
    void SetTreeEnabled(bool on) override { treeEnabled = on; }
};

// Processes events until `done` or about `ms` milliseconds.
bool WaitFor(const std::function<bool()>& done, int ms = 8000)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void Idle(int ms) { WaitFor([] { return false; }, ms); }

struct Bench {
    explicit Bench(sim::DeviceState device, sim::Faults faults = {}) : link(std::move(device), std::move(faults))
    {
        host.port.device = link.port.device;
        link.state.folders.bitmap = SourceDataFolder() + QStringLiteral("/BITMAP/");
    }
    template <class Page>
    std::unique_ptr<Page> Show()
    {
        auto page = std::make_unique<Page>(ctx, nullptr, host);
        page->resize(900, 640);
        page->ShowPage();
        return page;
    }
    void Device(const std::function<void(sim::DeviceState&)>& change)
    {
        std::lock_guard lock(link.server.mutex());
        change(link.device.state());
    }
    SimLink link;
    TestHost host;
    PageContext ctx{link.state, link.fb};
};

std::unique_ptr<TfrmStato> ShowStatus(Bench& b, sim::Model m)
{
    if (m == sim::Model::G) return b.Show<TfrmStatoPELIXG>();
    return b.Show<TfrmStato>();
}

sim::DeviceState Communicator(sim::Model m)
{
    sim::DeviceState d = Device(m);
    d.inputs = 0x21;       // L = 1, H = 2: inputs 1 and 2 differ from their rest state
    d.inputFlags = 0xC0;   // row 1's two flags
    d.outputsA = 0x01;
    d.outputsB = 0x05;
    d.outputsC = 0x02;
    d.outputValues = {255, 30, 255, 255, 255};
    d.warnings = 0x03;
    d.signal = 130;
    d.supply = 180;
    d.counter1 = 90;
    d.release = m == sim::Model::G ? "200" : "105";
    return d;
}

}  // namespace

TEST(StatusRules, DisplaySupplyAndRelease)
{
    EXPECT_EQ(SignalLevel(24), 0);
    EXPECT_EQ(SignalLevel(25), 1);
    EXPECT_EQ(SignalLevel(255), 10);
    EXPECT_EQ(SupplyImage(0), 4);
    EXPECT_EQ(SupplyImage(130), 4);
    EXPECT_EQ(SupplyImage(200), 7);
    EXPECT_EQ(SupplyImage(215), 7);
    EXPECT_EQ(SupplyHint(100, StatoVariant::PelixI), "  6.80 Volt");
    EXPECT_EQ(SupplyHint(255, StatoVariant::PelixI), "");
    EXPECT_EQ(SupplyHint(200, StatoVariant::PelixG), " 12.89 Volt");
    for (const auto& [release, allowed] : std::vector<std::pair<std::string, bool>>{
             {"1.10", true}, {"2.0", true}, {"1.05", true}, {"1.04", false}, {"", false}})
        EXPECT_EQ(ResetAllowed(release), allowed) << release;
    const auto text = [](int n) { return std::to_string(n); };
    EXPECT_EQ(InputFlagTexts(1, 0xC0, StatoVariant::PelixI, text), "177 / 176");
    EXPECT_EQ(InputFlagTexts(1, 0x0C, StatoVariant::PelixG, text), "504 / 180");
    EXPECT_EQ(InputFlagTexts(3, 0x04, StatoVariant::PelixI, text), "504");
    EXPECT_EQ(InputFlagTexts(2, 0x00, StatoVariant::PelixI, text), "");
}

class LiveMonitor : public ::testing::TestWithParam<sim::Model> {};

// The page shows what the device reports, and an output switched from the
// pop-up menu reaches the device and comes back on the screen.
TEST_P(LiveMonitor, ShowsTheDeviceAndSwitchesAnOutput)
{
    const sim::Model m = GetParam();
    Bench b(Communicator(m));
    auto page = ShowStatus(b, m);
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; })) << page->StatusPicture();
    const LiveValues& v = page->Shown();
    EXPECT_EQ(v.inputsL, 1);
    EXPECT_EQ(v.inputsH, 2);
    EXPECT_EQ(v.outputsA, 0x01);
    EXPECT_EQ(v.outputsB, 0x05);
    EXPECT_EQ(v.outputsC, 0x02);
    EXPECT_EQ(v.outputValues[1], 30);
    EXPECT_EQ(v.warnings, 0x03);
    EXPECT_EQ(page->Label12->text(), m == sim::Model::G ? "2.00.01.200" : "1.05");
    EXPECT_EQ(page->valueLabels[0]->text(), "MOTOROLA");
    EXPECT_EQ(b.host.info.operatorName(), "PELIX NET");
    EXPECT_EQ(page->lcd->Line(4), "PELIX NET");
    EXPECT_EQ(page->DisplayBitmap(), "lcd-sign5.bmp");
    EXPECT_EQ(page->SupplyPicture(), 6);
    EXPECT_FALSE(page->dtSms->text().isEmpty());
    EXPECT_EQ(page->dtCid->text(), m == sim::Model::G ? "..." : "");
    const QString flags = page->sgIngressi->Cells(4, 1);
    EXPECT_EQ(flags, m == sim::Model::G ? "" : "Starts and stops the periodic SMS / Starts the periodic SMS");
    if (m == sim::Model::I) {
        EXPECT_TRUE(page->ResetBtn->isEnabled());
    }

    page->sgUscite->setCurrentCell(3, 1);
    page->ONOFF1Click();
    ASSERT_TRUE(WaitFor([&] { return (b.link.DeviceState().outputsA & 0x04) != 0; }));
    EXPECT_TRUE(WaitFor([&] { return (page->Shown().outputsA & 0x04) != 0; }));
    EXPECT_GE(b.link.Count("<32>"), 1);  // "2" switches the third output

    page->ClosePage();
    EXPECT_FALSE(page->WorkerRunning());
}

// A serious fault (warnings bits 4-6) stretches the pause between polls.
TEST_P(LiveMonitor, AWarningInBitsFourToSixSlowsThePolling)
{
    const sim::Model m = GetParam();
    for (std::uint8_t warnings : {std::uint8_t{0x00}, std::uint8_t{0x20}}) {
        Bench b(Communicator(m));
        b.Device([&](sim::DeviceState& d) { d.warnings = warnings; });
        auto page = ShowStatus(b, m);
        page->Timer2Timer();
        const int expected = warnings ? 2 : 0;
        ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == expected; })) << int(warnings);
        Idle(50);
        const int polls = b.link.Count("<37>");
        // A normal pause is about 5 (PELIX-I) or 2 (PELIX-G) seconds, a slowed
        // one about 10: poll again after 7 seconds only when nothing is wrong.
        Idle(7 * kTestSecondMs);
        if (warnings)
            EXPECT_EQ(b.link.Count("<37>"), polls);
        else
            EXPECT_GT(b.link.Count("<37>"), polls);
        page->ClosePage();
    }
}

// Leaving the page while the device has gone silent ends the worker at once
// and leaves the port free.
TEST_P(LiveMonitor, LeavingASilentDeviceEndsTheWorkerAndFreesThePort)
{
    const sim::Model m = GetParam();
    Bench b(Communicator(m));
    auto page = ShowStatus(b, m);
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; }));
    {
        std::lock_guard lock(b.link.server.mutex());
        b.link.device.faults().silent = true;
    }
    Idle(kTestSecondMs);
    const auto start = std::chrono::steady_clock::now();
    page->ClosePage();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(page->WorkerRunning());
    EXPECT_LT(took, std::chrono::milliseconds(6 * kTestSecondMs));
    stRecPort again;
    again.device = b.link.port.device;
    EXPECT_TRUE(PortOpen(again));
    PortClose(again);
}

// The test report and the module reset go through the command slot; on
// PELIX-G the page tree waits for them.
TEST_P(LiveMonitor, TheMaintenanceCommandsReachTheDevice)
{
    const sim::Model m = GetParam();
    Bench b(Communicator(m));
    auto page = ShowStatus(b, m);
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; }));
    page->BitBtn1Click();
    if (m == sim::Model::G) {
        EXPECT_FALSE(b.host.treeEnabled);
    }
    EXPECT_TRUE(WaitFor([&] { return b.link.DeviceState().maintenanceCommands == 1; }));
    EXPECT_TRUE(WaitFor([&] { return b.host.treeEnabled; }));
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0 && page->Shared().deviceReady == (m == sim::Model::G); }));
    page->ResetBtnClick();
    EXPECT_TRUE(WaitFor([&] { return b.link.DeviceState().moduleResets == 1; }));
    EXPECT_TRUE(WaitFor([&] { return b.host.treeEnabled; }));
    page->ClosePage();
    EXPECT_TRUE(b.host.treeEnabled);
}

// An output the controller refuses to switch stays as it was, and that
// cycle shows the failure picture.
TEST_P(LiveMonitor, ARefusedOutputCommandChangesNothingAndShowsTheFailure)
{
    const sim::Model m = GetParam();
    sim::Faults faults;
    faults.errorCommands.insert("<32>");
    Bench b(Communicator(m), faults);
    auto page = ShowStatus(b, m);
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; }));
    const int failuresBefore = page->StatusPictureCount(1);
    page->sgUscite->setCurrentCell(3, 1);
    page->ONOFF1Click();
    EXPECT_TRUE(WaitFor([&] { return page->StatusPictureCount(1) > failuresBefore; }));
    EXPECT_EQ(b.link.Count("<32>"), 1);
    EXPECT_EQ(b.link.DeviceState().outputsA, 0x01);
    EXPECT_EQ(page->Shown().outputsA, 0x01);
    page->ClosePage();
}

INSTANTIATE_TEST_SUITE_P(Models, LiveMonitor, ::testing::Values(sim::Model::I, sim::Model::G),
                         [](const auto& info) { return info.param == sim::Model::G ? "PelixG" : "PelixI"; });

// While the worker lends the port out it holds it closed, takes no command,
// and reopens the port when it goes on.
TEST(LiveMonitorI, APausedWorkerLeavesThePortAndGoesOnAfterwards)
{
    Bench b(Communicator(sim::Model::I));
    auto page = b.Show<TfrmStato>();
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; }));
    page->Shared().pauseRequest = true;
    ASSERT_TRUE(WaitFor([&] { return page->Shared().paused.load(); }));
    EXPECT_FALSE(page->Shared().port.isOpen());
    EXPECT_FALSE(page->QueueCommand(OutputCommand(1)));
    page->Shared().pauseRequest = false;
    ASSERT_TRUE(page->QueueCommand(OutputCommand(1)));
    EXPECT_TRUE(WaitFor([&] { return (b.link.DeviceState().outputsA & 0x01) == 0; }));
    page->ClosePage();
    EXPECT_FALSE(page->WorkerRunning());
}

TEST(LiveMonitorI, NoSignalAndALowSupply)
{
    Bench b(Communicator(sim::Model::I));
    b.Device([](sim::DeviceState& d) {
        d.signal = 24;
        d.supply = 100;
    });
    auto page = b.Show<TfrmStato>();
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; }));
    EXPECT_EQ(page->DisplayBitmap(), "nosign.bmp");
    EXPECT_EQ(ToCp1252(page->lcd->Line(3)), b.link.state.Text(159));
    EXPECT_EQ(ToCp1252(page->lcd->Line(4)), b.link.state.Text(160));
    EXPECT_EQ(page->SupplyPicture(), 4);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(page->Image9, &enter);
    EXPECT_EQ(page->Image8->toolTip(), "  6.80 Volt");
    page->ClosePage();
}

TEST(LiveMonitorI, AnUnsupportedReleaseStopsTheMonitorWithText127)
{
    Bench b(Communicator(sim::Model::I));
    b.Device([](sim::DeviceState& d) { d.release = "120"; });
    auto page = b.Show<TfrmStato>();
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return !page->WorkerRunning(); }));
    Idle(50);
    EXPECT_EQ(ToCp1252(page->StaticText1->text()), b.link.state.Text(127));
    EXPECT_TRUE(page->Label12->text().isEmpty());
    EXPECT_FALSE(page->ResetBtn->isEnabled());
    EXPECT_EQ(b.link.Count("<37>"), 0);
}

// A SIM that wants its PIN opens the unlock dialog; the right PIN unlocks it
// and the monitor starts.
TEST(LiveMonitorI, APinLockedSimOpensTheDialogAndTheRightPinUnlocksIt)
{
    Bench b(Communicator(sim::Model::I));
    b.Device([](sim::DeviceState& d) {
        d.pinEnabled = true;
        d.pinRequired = true;
    });
    auto page = b.Show<TfrmStato>();
    bool seen = false, shortPinRefused = false, seventhTaken = true;
    int tagWhileOpen = -1;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TfrmSbloccaPin*>(QApplication::activeModalWidget());
        if (!dlg) return;
        seen = true;
        dlg->MaskEdit1->setText("123");
        shortPinRefused = !dlg->BitBtn1->isEnabled() && !dlg->BitBtn2->isEnabled();
        dlg->MaskEdit1->setText("12345678");
        seventhTaken = dlg->MaskEdit1->text().size() > kPinFieldMax;
        dlg->MaskEdit1->setText(" 1234 ");
        // Leaving the page now would free it under its own handler: refused.
        page->Tag = 0;
        page->ClosePage();
        tagWhileOpen = page->Tag;
        dlg->BitBtn2->click();  // PIN only
    });
    page->Timer2Timer();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(shortPinRefused);
    EXPECT_FALSE(seventhTaken);
    EXPECT_EQ(tagWhileOpen, 255);
    EXPECT_FALSE(b.link.DeviceState().pinRequired);
    EXPECT_TRUE(page->WorkerRunning());
    EXPECT_FALSE(page->Shared().unlockOpen);
    bool sawPin = false;
    for (const auto& j : b.link.Journal()) sawPin |= j == "AT+CPIN=\"1234\"";
    EXPECT_TRUE(sawPin);
    page->ClosePage();
}

// The PIN asked for again while the monitor runs: the worker leaves the port
// to the dialog and goes on afterwards.
TEST(LiveMonitorI, APinAskedForLaterPausesTheWorkerForTheDialog)
{
    Bench b(Communicator(sim::Model::I));
    auto page = b.Show<TfrmStato>();
    page->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return page->StatusPicture() == 0; }));
    bool workerPaused = false;
    int pollsDuring = -1;
    QTimer::singleShot(0, page.get(), [] {});
    b.Device([](sim::DeviceState& d) {
        d.pinEnabled = true;
        d.pinRequired = true;
    });
    // Answer the dialog when it shows.
    std::function<void()> answer = [&] {
        auto* dlg = qobject_cast<TfrmSbloccaPin*>(QApplication::activeModalWidget());
        if (!dlg) {
            QTimer::singleShot(10, answer);
            return;
        }
        workerPaused = page->Shared().paused;
        pollsDuring = b.link.Count("<37>");
        dlg->MaskEdit1->setText("1234");
        dlg->BitBtn2->click();
    };
    QTimer::singleShot(10, answer);
    ASSERT_TRUE(WaitFor([&] { return pollsDuring >= 0 && !page->Shared().unlockOpen; }, 15000));
    EXPECT_TRUE(workerPaused);
    EXPECT_FALSE(b.link.DeviceState().pinRequired);
    EXPECT_TRUE(page->Shared().simOk);
    const int after = b.link.Count("<37>");
    EXPECT_TRUE(WaitFor([&] { return b.link.Count("<37>") > after; }));
    page->ClosePage();
}

TEST(UnlockDialog, AStatusWithoutThePinRequestShowsNoDialog)
{
    Bench b(Communicator(sim::Model::G));
    LinkContext ctx(b.host.port, b.host.info, b.link.state, b.link.fb);
    ctx.charTimeout = kTestCharTimeout;
    ctx.secondMs = kTestSecondMs;
    TfrmSbloccaPinPELIXG dlg(b.link.state);
    EXPECT_TRUE(dlg.SimCheck(ctx));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.BitBtn2, nullptr);
    EXPECT_FALSE(b.host.port.isOpen());
}

// ---- cell view ----

TEST(CellView, AThreeCellReplyFillsThreeHexagons)
{
    Bench b(Device(sim::Model::A));
    b.link.state.cliente.TipoCentrale = kModelA;
    b.Device([](sim::DeviceState& d) {
        d.cells = {18, 12, 40};
        d.csq = 21;
    });
    auto page = b.Show<TfrmStato>();
    EXPECT_TRUE(page->pnlPELIX_1->isHidden());
    EXPECT_FALSE(page->GroupBox2->isHidden());

    // Not identified yet: the button does nothing.
    page->SpeedButton1Click();
    EXPECT_FALSE(b.link.state.flags.statusBusy);
    EXPECT_FALSE(b.host.port.isOpen());

    b.host.everStarted = true;
    b.host.info.s = {"SIEMENS", "MC35", "REV 1", "", "", "", ""};
    page->ShowPage();
    page->SpeedButton1Click();
    EXPECT_TRUE(b.link.state.flags.statusBusy);
    EXPECT_TRUE(b.host.paused);
    EXPECT_TRUE(b.host.displayCleared);
    page->Timer1Timer();
    EXPECT_EQ(page->CellPicture(1), "lcd-sign6.bmp");  // top: level 18
    EXPECT_EQ(page->CellPicture(2), "lcd-sign4.bmp");  // upper right: 12
    EXPECT_EQ(page->CellPicture(5), "none.bmp");       // upper left: 40, not measurable
    for (int image : {3, 4, 6}) EXPECT_EQ(page->CellPicture(image), "") << image;
    EXPECT_EQ(page->CellPicture(7), "lcd-sign7.bmp");  // centre: +CSQ 21
    EXPECT_TRUE(page->Timer1->isActive());

    page->SpeedButton1Click();
    EXPECT_FALSE(b.link.state.flags.statusBusy);
    EXPECT_FALSE(b.host.paused);
    EXPECT_FALSE(page->Timer1->isActive());
    EXPECT_FALSE(b.host.port.isOpen());
}

// ---- calls page ----

TEST(CallsPage, FillsItsGridsFromTheDeviceLists)
{
    for (sim::Model m : {sim::Model::I, sim::Model::G, sim::Model::A}) {
        Bench b(Device(m));
        b.Device([](sim::DeviceState& d) {
            d.phoneBooks["RC"].entries[2] = sim::PhoneEntry{"0331777", 129, ""};
            d.phoneBooks["MC"].entries[1] = sim::PhoneEntry{"3471112223", 129, "Rossi"};
            d.phoneBooks["DC"].entries[1] = sim::PhoneEntry{"112", 129, "Help"};
        });
        b.link.state.flags.devicePresent = true;
        b.link.state.cliente.Rel_firmware = "1.00";
        auto page = b.Show<TfrmChiamate>();
        page->SpeedButton4Click();
        const std::string label = m == sim::Model::A ? "A" : m == sim::Model::G ? "G" : "I";
        ASSERT_EQ(page->gRicevute->rowCount(), 3) << label;
        EXPECT_EQ(page->gRicevute->Cells(2, 1), "+390212345678") << label;
        EXPECT_EQ(page->gRicevute->Cells(1, 1), "Office") << label;
        EXPECT_EQ(page->gRicevute->Cells(0, 2), "2") << label;
        EXPECT_EQ(ToCp1252(page->gRicevute->Cells(1, 2)), b.link.state.Text(164)) << label;
        EXPECT_EQ(page->gPerse->Cells(1, 1), "Rossi") << label;
        if (m == sim::Model::A) {
            EXPECT_TRUE(page->gbEffettuate->isHidden());
            EXPECT_EQ(page->gEffettuate->Cells(2, 1), "");
        } else {
            EXPECT_EQ(page->gEffettuate->Cells(2, 1), "112") << label;
            EXPECT_FALSE(b.link.ThroughConnected()) << label;
        }
        EXPECT_FALSE(b.link.state.flags.progress);
        EXPECT_FALSE(b.host.port.isOpen());
    }
}

TEST(CallsPage, GridRowsFromEntryLines)
{
    Bench b(Device(sim::Model::I));
    auto page = b.Show<TfrmChiamate>();
    page->FillGrid(page->gPerse, {});
    EXPECT_EQ(page->gPerse->rowCount(), 2);
    page->FillGrid(page->gPerse, {"+CPBR: 1,\"555\",129,\"Anna\"", "OK", "+CPBR: 2,\"\",129,\"Empty\"",
                                  "+CPBR: 3,\"777\",129"});
    ASSERT_EQ(page->gPerse->rowCount(), 3);
    EXPECT_EQ(page->gPerse->Cells(1, 1), "Anna");
    EXPECT_EQ(page->gPerse->Cells(2, 2), "777");
    EXPECT_EQ(ToCp1252(page->gPerse->Cells(1, 2)), b.link.state.Text(164));
}
