#include "status/statushost.h"

#include "app/mainwindow.h"
#include "pages/pageregistry.h"
#include "status/chiamate.h"
#include "status/stato.h"

#include <QApplication>
#include <QTreeWidget>

#include <memory>

namespace pelix {

stRecPort& MainStatusHost::Port() { return w_.Port(); }
stRecModemInfo& MainStatusHost::ModemInfo() { return w_.ModemInfo(); }
bool MainStatusHost::MonitorRuns() { return w_.State().flags.monitorRun.load(); }
bool MainStatusHost::MonitorEverStarted() { return w_.Monitor().EverStarted(); }
bool MainStatusHost::PauseMonitor(int seconds)
{
    return w_.Monitor().Pause([] { QCoreApplication::processEvents(); }, seconds);
}
void MainStatusHost::ResumeMonitor() { w_.ResumeMonitor(); }
void MainStatusHost::ClearDisplayLine2AndPicture()
{
    w_.lcd->SetLine(2, QString());
    w_.lcd->SetPicture(QPixmap());
}
void MainStatusHost::SetTreeEnabled(bool on)
{
    w_.tvPanel->setEnabled(on);
    w_.tvPanel->setUpdatesEnabled(on);
}

void RegisterStatusPages(TfrmMain& w)
{
    static std::unique_ptr<MainStatusHost> host;
    host = std::make_unique<MainStatusHost>(w);
    StatusHost* h = host.get();
    RegisterPage(PageKind::Stato, [h](PageContext& c, QWidget* owner) -> TPageForm* { return new TfrmStato(c, owner, *h); });
    RegisterPage(PageKind::StatoPELIXG,
                 [h](PageContext& c, QWidget* owner) -> TPageForm* { return new TfrmStatoPELIXG(c, owner, *h); });
    RegisterPage(PageKind::Chiamate,
                 [h](PageContext& c, QWidget* owner) -> TPageForm* { return new TfrmChiamate(c, owner, *h); });
}

}  // namespace pelix
