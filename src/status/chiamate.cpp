#include "status/chiamate.h"

#include "common/text.h"
#include "link/controller.h"
#include "link/exchange.h"
#include "pages/pagegrid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace pelix {

TfrmChiamate::TfrmChiamate(PageContext& c, QWidget* owner, StatusHost& host) : TPageForm(c, owner), host_(host)
{
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    SpeedButton4 = new QToolButton(this);
    SpeedButton4->setToolButtonStyle(Qt::ToolButtonTextOnly);
    SpeedButton4->setMinimumWidth(90);
    bar->addWidget(SpeedButton4);
    bar->addStretch(1);
    main->addLayout(bar);
    auto* lists = new QHBoxLayout;
    const auto make = [&](QGroupBox*& box, PageGrid*& grid) {
        box = new QGroupBox(this);
        grid = new PageGrid(3, 2, 0, box);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setColumnWidth(0, 36);
        grid->setColumnWidth(1, 130);
        grid->horizontalHeader()->setStretchLastSection(true);
        (new QVBoxLayout(box))->addWidget(grid);
        lists->addWidget(box, 1);
    };
    make(gbRicevute, gRicevute);
    make(gbPerse, gPerse);
    make(gbEffettuate, gEffettuate);
    main->addLayout(lists, 1);
    Panel1 = new QWidget(this);
    auto* status = new QHBoxLayout(Panel1);
    status->setContentsMargins(2, 2, 2, 2);
    StaticText1 = new QLabel(Panel1);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    status->addWidget(StaticText1, 1);
    main->addWidget(Panel1);
    SetStatusLine(StaticText1);
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
}

void TfrmChiamate::FormShow()
{
    setWindowTitle(Text(70));
    gbRicevute->setTitle(Text(71));
    gbPerse->setTitle(Text(73));
    gbEffettuate->setTitle(Text(72));
    SpeedButton4->setText(Text(20));
    StaticText1->setText(Text(480));
    for (PageGrid* g : {gRicevute, gPerse, gEffettuate}) {
        g->SetCells(0, 0, Text(45));
        g->SetCells(1, 0, Text(13));
        g->SetCells(2, 0, Text(28));
    }
    gbEffettuate->setVisible(Model() != kModelA);
    Panel1->setVisible(Model() != kModelA);
}

void TfrmChiamate::FillGrid(PageGrid* grid, const std::vector<std::string>& lines)
{
    grid->setRowCount(2);
    for (int col = 0; col < 3; ++col) grid->SetCells(col, 1, QString());
    int row = 1;
    for (const std::string& line : lines) {
        // +CPBR: index,"number",type,"name"
        const auto q1 = line.find('"');
        if (q1 == std::string::npos) continue;
        const auto q2 = line.find('"', q1 + 1);
        const std::string number = line.substr(q1 + 1, q2 == std::string::npos ? std::string::npos : q2 - q1 - 1);
        if (number.empty()) continue;
        std::string name;
        if (q2 != std::string::npos) {
            const auto q3 = line.find('"', q2 + 1);
            if (q3 != std::string::npos) {
                const auto q4 = line.find('"', q3 + 1);
                name = line.substr(q3 + 1, q4 == std::string::npos ? std::string::npos : q4 - q3 - 1);
            }
        }
        grid->SetCells(2, row, FromCp1252(number));
        grid->SetCells(1, row, name.empty() ? Text(164) : FromCp1252(name));
        grid->SetCells(0, row, QString::number(row));
        ++row;
        grid->setRowCount(row + 1);
    }
    if (grid->rowCount() > 2) grid->setRowCount(grid->rowCount() - 1);
}

bool TfrmChiamate::SelectBook(LinkContext& ctx, const char* name, bool checkOk)
{
    const std::string command = std::string("AT+CPBS=\"") + name + "\"";
    ModemSend(ctx, Model() == kModelA ? command : command + "\r");
    WaitT(ctx, 3);
    if (!checkOk) return true;
    std::string line;
    LinkStopwatch watch(ctx);
    while (watch.WholeSeconds() < 3) {
        if (!ModemReadLine(ctx, line)) continue;
        const std::string upper = QString::fromStdString(line).toUpper().toStdString();
        if (upper == "OK" || upper == "ERROR") break;
    }
    return QString::fromStdString(line).toUpper() == QStringLiteral("OK");
}

void TfrmChiamate::SpeedButton4Click()
{
    LinkContext ctx(host_.Port(), host_.ModemInfo(), st, fb);
    ctx.charTimeout = host_.charTimeout;
    ctx.secondMs = host_.secondMs;
    try {
        if (Model() == kModelA)
            ReadA(ctx);
        else
            ReadOther(ctx);
    } catch (const std::exception& e) {
        fb.ProgressClose();
        st.flags.progress = false;
        ShowMsg(fb, e.what(), MsgType::Warning);
    }
}

void TfrmChiamate::ReadA(LinkContext& ctx)
{
    BusyScope busy(fb);
    const bool monitor = host_.MonitorRuns();
    // The monitor must have let go of the port before this page talks on it.
    if (monitor && !host_.PauseMonitor(1)) {
        host_.ResumeMonitor();
        return;
    }
    const auto finish = [&] {
        PortClose(ctx.port);  // the monitor opens it again for its next cycle
        fb.ProgressClose();
        st.flags.progress = false;
        if (monitor) host_.ResumeMonitor();
    };
    fb.ProgressShow(std::string(), 16);
    st.flags.progress = true;
    const int r = CheckDeviceRelease(ctx, st.cliente.Rel_firmware);
    if (r != 0 || !st.flags.devicePresent) {
        finish();
        ShowMsg(fb, st.Text(r == 1 ? 146 : 54), MsgType::Error);
        return;
    }
    fb.ProgressCaption(st.Text(70));
    if (!PortEnsureOpen(ctx.port, fb, st.Text(119)) || !LinkIsQuiet(ctx)) {
        finish();
        return;
    }
    ModemSend(ctx, "ATH");
    WaitT(ctx, 30);
    if (!LinkIsQuiet(ctx)) {
        finish();
        return;
    }
    st.flags.devicePresent = true;
    std::string received, missed;
    SelectBook(ctx, "RC", false);
    PbListFirstTen(ctx, received);
    SelectBook(ctx, "MC", false);
    PbListFirstTen(ctx, missed);
    SelectBook(ctx, "SM", false);
    std::vector<std::string> lines;
    SplitReplyLines(received, lines);
    FillGrid(gRicevute, lines);
    lines.clear();
    SplitReplyLines(missed, lines);
    FillGrid(gPerse, lines);
    finish();
}

void TfrmChiamate::ReadOther(LinkContext& ctx)
{
    BusyScope busy(fb);
    fb.ProgressShow(std::string(), 16);
    st.flags.progress = true;
    if (PortEnsureOpen(ctx.port, fb, st.Text(119))) {
        if (CtrlConnect(ctx, false)) {
            const char* books[] = {"RC", "MC", "DC"};
            PageGrid* grids[] = {gRicevute, gPerse, gEffettuate};
            std::vector<std::string> lists[3];
            for (int i = 0; i < 3; ++i) {
                if (!SelectBook(ctx, books[i], true)) continue;  // a book the module refuses stays empty
                std::string text;
                PbListFirstTen(ctx, text);
                SplitReplyLines(text, lists[i]);
            }
            for (int i = 0; i < 3; ++i) FillGrid(grids[i], lists[i]);
            SelectBook(ctx, "MT", true);
            CtrlRelease(ctx);
        } else {
            ShowMsg(fb, st.Text(237), MsgType::Warning);
        }
        PortClose(ctx.port);
    }
    fb.ProgressClose();
    st.flags.progress = false;
}

}  // namespace pelix
