// The main window: the customer being edited, the page tree of its model, the
// customer list, one page at a time, and the commands on the whole customer.
#pragma once

#include "app/progress.h"
#include "app/qtfeedback.h"
#include "link/monitor.h"
#include "db/customerdb.h"
#include "model/state.h"
#include "pages/pageform.h"
#include "pages/pageregistry.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pelix {

// One node of the page tree below the root.
struct TreeNode {
    PageKind kind;
    int text;        // language text of the caption; 0 for "GPRS"
    int image;       // tree image 1..7
};

// What the model code fixes: phone entries in use, the page tree, remote programming.
struct ModelProfile {
    int phoneEntries = 95;
    std::vector<TreeNode> nodes;  // node 1, 2, ... in order
    bool remoteProgramming = true;
};
ModelProfile ProfileOf(int model);

// The four-line display of the modem monitor (PELIX-A only).
class LcdDisplay : public QWidget {
    Q_OBJECT

public:
    explicit LcdDisplay(QWidget* parent = nullptr);
    void SetLine(int line, const QString& text);  // line 1..4
    QString Line(int line) const;
    void SetPicture(const QPixmap& p);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::array<QString, 4> lines_;
    QPixmap picture_;
};

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain(ProgramState& st, pelix::Feedback& fb, CustomerDatabase& db, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Runs the start-up steps of the window (texts, image, list, tree, layout).
    void FormShow();

    void ApplyCaptions();
    void ApplyModelProfile();
    void BuildTree();
    void LoadCustomerList(const QString& indexField = QStringLiteral("Nome"));
    void LoadSelectedCustomer();
    void DeleteSelectedCustomer();
    void UpdateCaption();
    void SelectRoot();

    // The read and write commands on the device.
    void mCaricaClick();
    void mInviaClick();
    void remota1Click();

    void mInit1Click(bool fromMenu);
    void mSave1Click(bool fromInit = false);
    void impostazioni1Click();
    void Porteseriali1Click();
    void lingua1Click();
    void mCartelleClick();
    void mClienti1Click();

    // Starts or stops the PELIX-A modem monitor to suit the current model.
    void MonitorSwitch(bool keep);
    // A device command takes the port: false when the monitor would not let go.
    bool PauseMonitor();
    void ResumeMonitor();
    // Shows what the monitor's last cycle found (runs on the window's thread).
    void DisplayStep();

    // The program's port record and modem identification, and a context for a
    // device exchange on them, told through `fb` (the window's own by default).
    stRecPort& Port() { return port_; }
    stRecModemInfo& ModemInfo() { return modemInfo_; }
    LinkContext MakeLinkContext(Feedback* fb = nullptr);
    // The per-character time-out and the length of one second of the overall
    // limits, for the commands and the modem monitor. The device's own timing
    // unless a test against the simulator shortens it; set before the monitor starts.
    void SetLinkTimeouts(double charTimeout, int secondMs);
    ModemMonitor& Monitor() { return *monitor_; }
    TfrmProg* Progress() { return prog_; }

    const ModelProfile& Profile() const { return profile_; }
    PageHost& Host() { return *host_; }
    ProgramState& State() { return st_; }

    // Components, named as the rest of the program knows them.
    QToolBar* ToolBar1;
    QToolButton* ToolButton1;
    QWidget* Panel1;
    QWidget* panel_O;
    QLabel* Panel6;
    QToolButton* SpeedButton1;
    QToolButton* sbSpillo;
    QTreeWidget* tvPanel;
    QSplitter* Splitter2;
    QWidget* panel_c;
    QLabel* Panel4;
    QToolButton* SpeedButton2;
    QTreeWidget* lvClienti;
    QWidget* Panel2;
    LcdDisplay* lcd;
    QWidget* Panel3;

    QMenu* mFile1;
    QAction* mInit1;
    QAction* mSave1;
    QAction* mEsci1;
    QMenu* mProgrammazione;
    QAction* mCarica;
    QAction* mInvia;
    QAction* remota1;
    QMenu* mImpostazioni1;
    QMenu* mLayout;
    QAction* mClienti1;
    QAction* mCartelle;
    QAction* ShortCut1;
    QAction* Porteseriali1;
    QAction* lingua1;
    QAction* impostazioni1;

    // Serial numbers of the listed customers, by list position.
    const std::vector<int>& ListedSerials() const { return serials_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void BuildComponents();
    void BuildMenus();
    void tvPanelChange(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void OpenNode(int index);
    void ChiudiPanel(int tag);
    void ScopriNascondiPanel(int tag);
    void ToolButton1Click();
    bool lvClientiKeyPress(const QString& typed);
    bool FormCloseQuery();
    void FormClose();
    void ShowError(const std::exception& e);

    ProgramState& st_;
    pelix::Feedback& fb_;
    CustomerDatabase& db_;
    stRecPort port_;
    stRecModemInfo modemInfo_;
    double charTimeout_ = kCharTimeout;
    int secondMs_ = 1000;
    std::unique_ptr<ModemMonitor> monitor_;
    TfrmProg* prog_ = nullptr;
    PageContext ctx_;
    std::unique_ptr<PageHost> host_;
    ModelProfile profile_;
    std::vector<int> serials_;
    QStringList hints_;
    QString listOrder_ = QStringLiteral("Nome");
    bool autoHide_ = false;
    bool treeGuard_ = false;
    bool closing_ = false;
    int designFolderHeight_ = 250;
    int designPanelWidth_ = 200;
};

}  // namespace pelix
