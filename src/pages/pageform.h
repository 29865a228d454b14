// The base of every configuration page, and the host that shows one page at a
// time inside the main window's page area.
//
// A page copies its image fields into its controls when shown (FormShow) and
// writes them back when closed (FormClose); check and combo cells write at the
// moment they change. A page that must not be left sets Tag to 255 while
// closing; the host then keeps it.
#pragma once

#include "common/feedback.h"
#include "link/comm.h"
#include "model/state.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <functional>


namespace pelix {

class ModemMonitor;

// The application's hint pause: how long the mouse rests on a control before
// its hint shows. The editing pages with hint-laden grids shorten it.
constexpr int kHintPauseDefault = 500;  // ms
constexpr int kHintPauseShort = 100;    // ms

// Sets the pause every widget's hint waits for; the first call puts in place
// the application style that answers it. Widget layer only.
void SetHintPause(int ms);
int HintPause();

// What a page does with the hint pause.
enum class HintPauseRule {
    Unchanged,       // leaves it alone
    Shorten,         // shortens it when created and leaves it so
    ShortWhileOpen,  // shortens it when created and puts the default back when closed
};

struct PageContext {
    ProgramState& st;
    Feedback& fb;
    stRecPort* port = nullptr;  // the program's port record, for the pages that talk to the device
    ModemMonitor* monitor = nullptr;  // the PELIX-A monitor, paused while a page uses the port
};

class TPageForm : public QWidget {
    Q_OBJECT

public:
    // With an owner the page is a borderless child that fills it.
    TPageForm(PageContext& ctx, QWidget* owner, HintPauseRule hintPause = HintPauseRule::Unchanged);

    int Tag = 0;

    // The host's calls: fill and show; try to close (the page writes back).
    void ShowPage();
    void ClosePage();

protected:
    virtual void FormShow() {}
    // Only pages that may refuse to close override this; false stops the close.
    virtual bool FormCloseQuery() { return true; }
    virtual void FormClose() {}

    // The label that mirrors the long part of the hint under the mouse.
    void SetStatusLine(QLabel* line) { statusLine_ = line; }
    // A framed one-line label of the kind pages show at their foot.
    static QLabel* NewStatusLabel(QWidget* parent);
    bool event(QEvent* e) override;

    // Language text n for a caption.
    QString Text(int n) const;
    int Model() const { return st.Model(); }

    PageContext& ctx;
    ProgramState& st;
    Feedback& fb;

private:
    QPointer<QLabel> statusLine_;
    HintPauseRule hintPause_;
};

using PageFactory = std::function<TPageForm*(PageContext&, QWidget* owner)>;

// Hosts one page at a time in `area`.
class PageHost {
public:
    PageHost(PageContext& ctx, QWidget* area) : ctx_(ctx), area_(area) {}

    // Closes the open page and, unless it refuses (Tag 255), opens the page the
    // factory makes, fitted to the screen. False when the open page refused.
    bool Open(int node, const PageFactory& factory);
    // Closes the open page; false when it refused.
    bool CloseCurrent();

    TPageForm* Current() const { return current_; }
    int CurrentNode() const { return node_; }

private:
    PageContext& ctx_;
    QWidget* area_;
    QPointer<TPageForm> current_;
    int node_ = -1;
};

}  // namespace pelix
