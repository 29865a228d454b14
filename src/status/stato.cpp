#include "status/stato.h"

#include "app/imagelists.h"
#include "app/mainwindow.h"
#include "common/paths.h"
#include "common/text.h"
#include "link/controller.h"
#include "link/exchange.h"
#include "link/monitor.h"
#include "pages/pagegrid.h"
#include "pages/pagehelpers.h"
#include "status/sbloccapin.h"
#include "status/statusimages.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>
#include <thread>

namespace pelix {

namespace {

constexpr int kStatusOutputs = 5;
constexpr int kStatusInputs = 4;
constexpr int kWarningsI = 8;
// Where the neighbour cells 1..6 of a reply are drawn (Image1..Image7 as 0..6).
constexpr std::array<int, 6> kCellImage{0, 1, 4, 2, 3, 5};
constexpr int kCentreImage = 6;

bool Bit(std::uint8_t byte, int bit) { return (byte >> bit) & 1u; }

void DrawCentred(QPainter& p, const QRect& r, const QPixmap& pm, int dy = 0)
{
    p.drawPixmap(r.x() + (r.width() - pm.width()) / 2, r.y() + (r.height() - pm.height()) / 2 + dy, pm);
}

// The separators of the system's short date and time formats: the first
// character between two fields ("dd/MM/yyyy" gives "/"). A format whose
// fields are set apart by blanks or names only gives the usual one.
QChar Separator(const QString& format, QChar usual)
{
    for (QChar c : format)
        if (!c.isLetter() && c != u'\'' && !c.isSpace()) return c;
    return usual;
}
QChar DateSeparator() { return Separator(QLocale::system().dateFormat(QLocale::ShortFormat), u'/'); }
QChar TimeSeparator() { return Separator(QLocale::system().timeFormat(QLocale::ShortFormat), u':'); }
QString FormatDate(const QDateTime& t)
{
    const QChar d = DateSeparator(), h = TimeSeparator();
    return t.toString(QStringLiteral("dd%1MM%1yy hh%2mm").arg(d).arg(h));
}

}  // namespace

// ---- honeycomb ----

Honeycomb::Honeycomb(QWidget* parent) : QWidget(parent)
{
    for (auto& img : images) {
        img = new QLabel(this);
        img->setAlignment(Qt::AlignCenter);
        img->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    setMinimumSize(200, 190);
}

double Honeycomb::Radius() const { return std::min(width() / 5.2, height() / (3.3 * std::sqrt(3.0) / 1.0) * 1.0); }

QPointF Honeycomb::Centre(int i) const
{
    const double r = Radius(), h = std::sqrt(3.0) * r;
    const QPointF c(width() / 2.0, height() / 2.0);
    switch (i) {
    case 0: return c + QPointF(0, -h);                 // top
    case 1: return c + QPointF(1.5 * r, -h / 2);       // upper right
    case 2: return c + QPointF(-1.5 * r, h / 2);       // lower left
    case 3: return c + QPointF(0, h);                  // bottom
    case 4: return c + QPointF(-1.5 * r, -h / 2);      // upper left
    case 5: return c + QPointF(1.5 * r, h / 2);        // lower right
    default: return c;                                 // centre
    }
}

void Honeycomb::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = Radius() - 2;
    for (int i = 0; i < 7; ++i) {
        const QPointF c = Centre(i);
        QPolygonF hex;
        for (int k = 0; k < 6; ++k) hex << c + QPointF(r * std::cos(k * M_PI / 3), r * std::sin(k * M_PI / 3));
        // The display's own green, so the signal pictures sit on it without a frame.
        p.setPen(QPen(QColor(60, 80, 40), i == 6 ? 3.0 : 1.5));
        p.setBrush(QColor(150, 180, 110));
        p.drawPolygon(hex);
    }
}

void Honeycomb::resizeEvent(QResizeEvent*)
{
    const int r = static_cast<int>(Radius());
    for (int i = 0; i < 7; ++i) {
        const QPointF c = Centre(i);
        images[static_cast<std::size_t>(i)]->setGeometry(static_cast<int>(c.x()) - r / 2 - 4,
                                                          static_cast<int>(c.y()) - r / 2, r + 8, r);
    }
}

// ---- page ----

TfrmStato::TfrmStato(PageContext& c, QWidget* owner, StatusHost& host) : TfrmStato(c, owner, host, StatoVariant::PelixI) {}

TfrmStatoPELIXG::TfrmStatoPELIXG(PageContext& c, QWidget* owner, StatusHost& host)
    : TfrmStato(c, owner, host, StatoVariant::PelixG)
{
    BitBtn2 = ResetBtn;
}

TfrmStato::TfrmStato(PageContext& c, QWidget* owner, StatusHost& host, StatoVariant variant)
    : TPageForm(c, owner), host_(host), variant_(variant), shared_(std::make_shared<StatusShared>())
{
    Build();
    // The worker's codes and messages reach the page on its own thread.
    shared_->post = [this](int code, int param) {
        QMetaObject::invokeMethod(this, [this, code, param] { OnCode(code, param); }, Qt::QueuedConnection);
    };
    shared_->message = [this](const std::string& text) {
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                if (messageOpen_) return;  // one box at a time, not one per cycle
                messageOpen_ = true;
                ShowMsg(fb, text, MsgType::Warning);
                messageOpen_ = false;
            },
            Qt::QueuedConnection);
    };
}

TfrmStato::~TfrmStato()
{
    {
        std::lock_guard<std::mutex> g(shared_->lock);
        shared_->post = nullptr;
        shared_->message = nullptr;
    }
    if (worker_) StopWorker();
    if (st.flags.statusBusy) StopCellView();
}

int TfrmStato::OwnModel() const { return G() ? kModelG : kModelI; }

void TfrmStato::Build()
{
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    GroupBox1 = new QGroupBox(this);
    auto* idGrid = new QGridLayout(GroupBox1);
    for (int i = 0; i < 5; ++i) {
        captionLabels[static_cast<std::size_t>(i)] = new QLabel(GroupBox1);
        valueLabels[static_cast<std::size_t>(i)] = new QLabel(GroupBox1);
        valueLabels[static_cast<std::size_t>(i)]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        idGrid->addWidget(captionLabels[static_cast<std::size_t>(i)], i, 0);
        idGrid->addWidget(valueLabels[static_cast<std::size_t>(i)], i, 1);
    }
    idGrid->setColumnStretch(1, 1);
    top->addWidget(GroupBox1, 1);

    Panel2 = new QWidget(this);
    auto* disp = new QGridLayout(Panel2);
    disp->setContentsMargins(0, 0, 0, 0);
    lcd = new LcdDisplay(Panel2);
    lcd->setMinimumWidth(260);
    Label11 = new QLabel(Panel2);
    Label12 = new QLabel(Panel2);
    Image8 = new QLabel(Panel2);
    Label13 = new QLabel(Panel2);
    Image9 = new QLabel(Panel2);
    Image8->setMinimumSize(34, 24);
    Image9->setMinimumSize(26, 26);
    disp->addWidget(lcd, 0, 0, 1, 5);
    disp->addWidget(Label11, 1, 0);
    disp->addWidget(Label12, 1, 1);
    disp->addWidget(Image8, 1, 2);
    disp->addWidget(Label13, 1, 3, Qt::AlignRight);
    disp->addWidget(Image9, 1, 4);
    disp->setColumnStretch(1, 1);
    top->addWidget(Panel2, 1);
    main->addLayout(top);

    GroupBox2 = new QGroupBox(this);
    auto* cells = new QHBoxLayout(GroupBox2);
    SpeedButton1 = new QToolButton(GroupBox2);
    SpeedButton1->setCheckable(true);
    SpeedButton1->setIcon(ImageLists::TreeImage(6));
    SpeedButton1->setIconSize(QSize(32, 32));
    SpeedButton1->setMinimumSize(48, 48);
    honeycomb = new Honeycomb(GroupBox2);
    cells->addWidget(SpeedButton1, 0, Qt::AlignTop);
    cells->addWidget(honeycomb, 1);
    main->addWidget(GroupBox2, 1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

    pnlPELIX_1 = new QWidget(this);
    auto* area = new QGridLayout(pnlPELIX_1);
    area->setContentsMargins(0, 0, 0, 0);
    gbIngressi = new QGroupBox(pnlPELIX_1);
    sgIngressi = new PageGrid(5, kStatusInputs + 1, 1, gbIngressi);
    (new QVBoxLayout(gbIngressi))->addWidget(sgIngressi);
    gbUscite = new QGroupBox(pnlPELIX_1);
    sgUscite = new PageGrid(6, kStatusOutputs + 1, 1, gbUscite);
    (new QVBoxLayout(gbUscite))->addWidget(sgUscite);
    gbWarning = new QGroupBox(pnlPELIX_1);
    const int warningRows = G() ? static_cast<int>(WarningRowsG().size()) : kWarningsI;
    sgWarnings = new PageGrid(2, warningRows + 1, 1, gbWarning);
    (new QVBoxLayout(gbWarning))->addWidget(sgWarnings);

    BitBtn1 = new QPushButton(pnlPELIX_1);
    ResetBtn = new QPushButton(pnlPELIX_1);
    ResetBtn->setText(G() ? QStringLiteral("Turn OFF GSM module") : QStringLiteral("GSM Module reset"));
    ResetBtn->setEnabled(G());
    GroupBox3 = new QGroupBox(pnlPELIX_1);
    dtSms = new QLabel(GroupBox3);
    (new QVBoxLayout(GroupBox3))->addWidget(dtSms);
    GroupBox4 = new QGroupBox(pnlPELIX_1);
    dtCid = new QLabel(GroupBox4);
    (new QVBoxLayout(GroupBox4))->addWidget(dtCid);
    Image10 = new QLabel(pnlPELIX_1);
    Image10->setMinimumSize(26, 26);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(ResetBtn);
    buttons->addWidget(GroupBox3);
    buttons->addWidget(GroupBox4);
    buttons->addStretch(1);
    buttons->addWidget(Image10);

    area->addWidget(gbIngressi, 0, 0);
    area->addWidget(gbWarning, 0, 1, 2, 1);
    area->addWidget(gbUscite, 1, 0);
    area->addLayout(buttons, 2, 0, 1, 2);
    area->setColumnStretch(0, 3);
    area->setColumnStretch(1, 2);
    main->addWidget(pnlPELIX_1, 1);

    Panel4 = new QWidget(this);
    auto* status = new QHBoxLayout(Panel4);
    status->setContentsMargins(2, 2, 2, 2);
    StaticText1 = new QLabel(Panel4);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    status->addWidget(StaticText1, 1);
    main->addWidget(Panel4);
    SetStatusLine(StaticText1);

    for (PageGrid* g : {sgIngressi, sgUscite, sgWarnings}) {
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->setSelectionMode(QAbstractItemView::SingleSelection);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->verticalHeader()->setDefaultSectionSize(22);
    }
    sgIngressi->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { sgIngressiDrawCell(p, r, col, row); };
    sgUscite->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { sgUsciteDrawCell(p, r, col, row); };
    sgWarnings->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { sgWarningsDrawCell(p, r, col, row); };

    popup = new QMenu(this);
    ONOFF1 = popup->addAction(QString());
    connect(ONOFF1, &QAction::triggered, this, [this] { ONOFF1Click(); });
    sgUscite->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sgUscite, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int row = sgUscite->rowAt(at.y());
        if (row < 1) return;
        sgUscite->setCurrentCell(row, 1);
        popup->popup(sgUscite->viewport()->mapToGlobal(at));
    });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ResetBtn, &QPushButton::clicked, this, [this] { ResetBtnClick(); });

    for (QLabel* l : {Image8, Image9, Image10}) {
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    TimerPIN = new QTimer(this);
    TimerPIN->setInterval(1000);
    TimerPIN->setSingleShot(true);
    connect(TimerPIN, &QTimer::timeout, this, [this] { TimerPINTimer(); });
}

void TfrmStato::ApplyCaptions()
{
    setWindowTitle(Text(70));
    for (int i = 0; i < 5; ++i) captionLabels[static_cast<std::size_t>(i)]->setText(Text(75 + i));
    GroupBox1->setTitle(Text(74));
    GroupBox2->setTitle(Text(80));
    gbUscite->setTitle(Text(210));
    const int outHeads[] = {45, 31, 213, 214, 197, 230};
    for (int col = 0; col < 6; ++col) sgUscite->SetCells(col, 0, Text(outHeads[col]));
    for (int row = 1; row <= kStatusOutputs; ++row) sgUscite->SetCells(0, row, QString::number(row));
    SetHint(sgUscite, Text(500));
    gbIngressi->setTitle(Text(211));
    const int inHeads[] = {45, G() ? 606 : 31, 213, 229, 185};
    for (int col = 0; col < 5; ++col) sgIngressi->SetCells(col, 0, Text(inHeads[col]));
    for (int row = 1; row <= kStatusInputs; ++row) sgIngressi->SetCells(0, row, QString::number(row));
    gbWarning->setTitle(Text(212));
    sgWarnings->SetCells(0, 0, Text(27));
    if (G()) {
        int row = 1;
        for (const WarningRow& w : WarningRowsG()) sgWarnings->SetCells(0, row++, Text(w.text));
    } else {
        for (int row = 1; row <= kWarningsI; ++row) sgWarnings->SetCells(0, row, Text(219 + row));
    }
    Label11->setText(Text(12));
    Label13->setText(Text(228));
    ONOFF1->setText(Text(235));
    BitBtn1->setText(Text(178));
    SetHint(BitBtn1, Text(501));
    GroupBox3->setTitle(Text(239));
    GroupBox4->setTitle(Text(240));

    sgIngressi->setColumnWidth(0, 40);
    sgIngressi->setColumnWidth(1, 70);
    sgIngressi->setColumnWidth(2, 60);
    sgIngressi->setColumnWidth(3, 70);
    sgIngressi->horizontalHeader()->setStretchLastSection(true);
    sgUscite->setColumnWidth(0, 40);
    for (int col = 1; col < 6; ++col) sgUscite->setColumnWidth(col, 70);
    sgWarnings->setColumnWidth(0, 220);
    sgWarnings->horizontalHeader()->setStretchLastSection(true);
}

LinkContext TfrmStato::PageLink()
{
    LinkContext ctx(shared_->port, host_.ModemInfo(), st, fb);
    ctx.charTimeout = host_.charTimeout;
    ctx.secondMs = host_.secondMs;
    return ctx;
}

void TfrmStato::FormShow()
{
    // The live monitor talks on a port record of its own, over the same
    // device: so a worker that outlives the page can never reach the window's
    // record. The device is free only when the window's record is closed. (On
    // PELIX-A the window's record belongs to the modem monitor until it pauses.)
    if (Model() != kModelA) {
        PortClose(host_.Port());
        shared_->port = host_.Port();
    }
    Timer1->stop();
    ApplyCaptions();
    ShowIdentity();
    st.flags.statusBusy = false;
    if (Model() == kModelA) {
        pnlPELIX_1->hide();
        Panel2->hide();
        Panel4->hide();
        GroupBox2->show();
    } else {
        GroupBox2->hide();
        Timer2->start();
        if (!G()) {
            shared_->simOk = true;
            shared_->pinPolling = true;
            shared_->unlockOpen = true;  // until the first SIM check has run
        }
    }
    frame_ = 0;
    Image10->setPixmap(StatusImages::Frame(0));
}

void TfrmStato::ShowIdentity()
{
    stRecModemInfo& info = host_.ModemInfo();
    for (std::size_t i = 0; i < 5; ++i) valueLabels[i]->setText(FromCp1252(info.s[i]));
}

// ---- cell view (PELIX-A) ----

void TfrmStato::SpeedButton1Click()
{
    for (std::size_t i = 0; i < 3; ++i) {
        if (valueLabels[i]->text().isEmpty()) {
            // The modem monitor has not identified the module yet.
            SpeedButton1->setChecked(false);
            return;
        }
    }
    if (polling_) {
        // Pressed while a round talks to the module: stop when it has ended.
        stopAfterPoll_ = true;
        SpeedButton1->setChecked(true);
        return;
    }
    if (st.flags.statusBusy) {
        StopCellView();
        return;
    }
    BusyScope busy(fb);
    // The monitor must have let go of the port: two users of one port record
    // on two threads would corrupt each other's exchanges.
    if (!host_.PauseMonitor(5)) {
        host_.ResumeMonitor();
        SpeedButton1->setChecked(false);
        return;
    }
    if (PortEnsureOpen(host_.Port(), fb, st.Text(119))) {
        Timer1->start();
        st.flags.statusBusy = true;
        SpeedButton1->setChecked(true);
        host_.ClearDisplayLine2AndPicture();
    } else {
        if (host_.MonitorEverStarted()) host_.ResumeMonitor();
        SpeedButton1->setChecked(false);
    }
}

void TfrmStato::StopCellView()
{
    Timer1->stop();
    st.flags.statusBusy = false;
    stopAfterPoll_ = false;
    SpeedButton1->setChecked(false);
    if (host_.MonitorEverStarted()) host_.ResumeMonitor();
    PortClose(host_.Port());
}

void TfrmStato::SetCellLevel(int image, int level)
{
    QLabel* label = honeycomb->images[static_cast<std::size_t>(image)];
    const int bitmap = SignalBitmap(level);
    if (bitmap < 0) return;
    const QString name = bitmap == 0 ? QStringLiteral("none.bmp") : QStringLiteral("lcd-sign%1.bmp").arg(bitmap);
    const QPixmap pm(ResolveNoCase(JoinPath(st.folders.bitmap, QStringLiteral("lcd/") + name)));
    // A picture that cannot be loaded clears the hexagon; the small display
    // pictures are shown at twice their size, pixel for pixel.
    label->setPixmap(pm.isNull() ? pm : pm.scaled(pm.size() * 2, Qt::KeepAspectRatio, Qt::FastTransformation));
    cellFiles_[static_cast<std::size_t>(image)] = pm.isNull() ? QString() : name;
}

void TfrmStato::Timer1Timer()
{
    Timer1->stop();
    polling_ = true;
    try {
        LinkContext ctx(host_.Port(), host_.ModemInfo(), st, fb);
        ctx.charTimeout = host_.charTimeout;
        ctx.secondMs = host_.secondMs;
        ModemSend(ctx, "at^monp");
        WaitT(ctx, 1);
        std::string reply;
        {
            LinkStopwatch watch(ctx);
            do {
                ModemReadUntilOk(ctx, reply);
            } while (reply.empty() && watch.WholeSeconds() <= 5 && !stopAfterPoll_);
        }
        std::vector<std::string> lines;
        SplitReplyLines(reply, lines);
        // The closing "OK" is the end of the reply, not a cell.
        while (!lines.empty() && (LowerCase(TrimSpaces(lines.back())) == "ok" || ContainsNoCase(lines.back(), "error")))
            lines.pop_back();
        // The first line is the heading; each further one a neighbour cell,
        // "channel level dBm ...".
        for (std::size_t cell = 0; cell < kCellImage.size(); ++cell) {
            const int image = kCellImage[cell];
            if (cell + 1 < lines.size()) {
                std::string rest = TrimSpaces(lines[cell + 1]);
                const auto blank = rest.find(' ');
                rest = blank == std::string::npos ? std::string() : TrimSpaces(rest.substr(blank + 1));
                const std::string word = rest.substr(0, rest.find(' '));
                bool ok = false;
                int level = QString::fromStdString(word).toInt(&ok);
                SetCellLevel(image, ok ? level : 0);
            } else {
                honeycomb->images[static_cast<std::size_t>(image)]->clear();
                cellFiles_[static_cast<std::size_t>(image)].clear();
            }
        }
        if (!stopAfterPoll_) {
            ModemSend(ctx, "at+csq");
            WaitT(ctx, 1);
            std::string line;
            LinkStopwatch watch(ctx);
            bool found = false;
            while (watch.WholeSeconds() <= 5 && !stopAfterPoll_) {
                ModemReadLine(ctx, line);
                if (ContainsNoCase(line, "csq")) {
                    found = true;
                    break;
                }
            }
            if (found) {
                const auto comma = line.find(',');
                if (comma != std::string::npos && comma >= 2) {
                    bool ok = false;
                    const int level = QString::fromStdString(TrimSpaces(line.substr(comma - 2, 2))).toInt(&ok);
                    if (ok) SetCellLevel(kCentreImage, level);
                }
            }
        }
    } catch (const std::exception& e) {
        ShowMsg(fb, e.what(), MsgType::Warning);
    }
    polling_ = false;
    if (stopAfterPoll_ || !st.flags.statusBusy)
        StopCellView();
    else
        Timer1->start();
}

// ---- live monitor (PELIX-I, PELIX-G) ----

void TfrmStato::Timer2Timer()
{
    Timer2->stop();
    DeviceCall call(deviceCall_);
    bool ok = false;
    try {
        LinkContext ctx = PageLink();
        if (G()) {
            TfrmSbloccaPinPELIXG dlg(st, this);
            ok = dlg.SimCheck(ctx);
        } else {
            TfrmSbloccaPin dlg(st, &shared_->unlockOpen, this);
            ok = dlg.SimCheck(ctx);
        }
    } catch (const std::exception& e) {
        ShowMsg(fb, e.what(), MsgType::Warning);
        ok = false;
    }
    if (!G()) shared_->unlockOpen = false;
    if (!ok) {
        OnCode(kCodeStatusPicture, 1);
        return;
    }
    shared_->initialStep = true;
    shared_->stop = false;
    StatusTiming timing;
    timing.T = st.settings.TimeOut;
    timing.charTimeout = host_.charTimeout;
    timing.secondMs = host_.secondMs;
    worker_ = std::make_unique<StatusWorker>(variant_, shared_, st, timing);
    worker_->Start();
}

void TfrmStato::WaitWhole(int seconds, const std::function<bool()>& until)
{
    const auto start = std::chrono::steady_clock::now();
    const int secondMs = host_.secondMs > 0 ? host_.secondMs : 1;
    while (!until()) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (ms.count() / secondMs > seconds) return;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool TfrmStato::QueueCommand(char command)
{
    // No worker to run it, or the port lent to the unlock dialog: a command
    // now would either wait for ever or cut into the dialog's exchange.
    if (!worker_ || !shared_->running || shared_->pauseRequest) return false;
    if (G() && !shared_->deviceReady) return false;
    DeviceCall call(deviceCall_);
    WaitWhole(5, [this] { return !shared_->commandPending; });
    if (shared_->commandPending) return false;
    std::lock_guard<std::mutex> g(shared_->lock);
    shared_->command = command;
    shared_->commandPending = true;
    return true;
}

void TfrmStato::ONOFF1Click()
{
    const int row = sgUscite->currentRow();
    if (row >= 1 && row <= kStatusOutputs) QueueCommand(OutputCommand(row));
}

void TfrmStato::BitBtn1Click()
{
    if (!G()) {
        QueueCommand(kCmdTestReport);
        return;
    }
    if (commandGuard_ || !shared_->deviceReady) return;
    commandGuard_ = true;
    host_.SetTreeEnabled(false);
    if (!QueueCommand(kCmdTestReport)) {
        commandGuard_ = false;
        host_.SetTreeEnabled(true);
    }
}

void TfrmStato::ResetBtnClick()
{
    if (!G()) {
        QueueCommand(kCmdModuleReset);
        return;
    }
    if (commandGuard_ || !shared_->deviceReady) return;
    commandGuard_ = true;
    host_.SetTreeEnabled(false);
    if (!QueueCommand(kCmdModuleReset)) {
        commandGuard_ = false;
        host_.SetTreeEnabled(true);
    }
}

void TfrmStato::TimerPINTimer()
{
    TimerPIN->stop();
    if (G() || !shared_->pinRequired || shared_->unlockOpen || !worker_) return;
    shared_->pinPolling = false;
    DeviceCall call(deviceCall_);
    try {
        WaitWhole(5, [this] { return !shared_->commandPending; });
        // The worker leaves the port to the dialog for as long as it is open:
        // two talkers on one controller would answer each other's questions.
        if (shared_->commandPending || !worker_->Pause(6, [] { QCoreApplication::processEvents(); })) {
            worker_->Resume();
            shared_->pinPolling = true;
            return;
        }
        PortClose(shared_->port);
        {
            LinkContext ctx = PageLink();
            TfrmSbloccaPin dlg(st, &shared_->unlockOpen, this);
            shared_->simOk = dlg.SimCheck(ctx);
        }
        PortOpen(shared_->port);
    } catch (const std::exception& e) {
        ShowMsg(fb, e.what(), MsgType::Warning);
    }
    shared_->pinRequired = false;
    shared_->pinPolling = true;
    worker_->Resume();
}

void TfrmStato::StopWorker()
{
    Timer2->stop();
    TimerPIN->stop();
    if (worker_) {
        const int limit = G() ? 10 : 6;
        const bool ended = worker_->Stop(limit, [] { QCoreApplication::processEvents(); });
        if (ended) {
            PortClose(shared_->port);
            std::this_thread::sleep_for(std::chrono::milliseconds(st.settings.TimeOut * 3));
            shared_->stop = false;
        }
        // A worker that did not end keeps its stop request and the shared
        // state, and closes its port itself when it does.
        worker_.reset();
    }
    if (commandGuard_) {
        commandGuard_ = false;
        host_.SetTreeEnabled(true);
    }
}

bool TfrmStato::FormCloseQuery()
{
    // The exchanges let the window handle input while they wait; a page left
    // from inside one of its own handlers would be freed under it. So it stays
    // until the handler has returned (and the tree keeps its node).
    if (deviceCall_ > 0 || leaving_ || polling_) {
        Tag = 255;
        return false;
    }
    if (Model() == kModelA || st.flags.statusBusy) {
        // Only a running cell view holds the port; otherwise it is the monitor's.
        if (st.flags.statusBusy) StopCellView();
        return true;
    }
    leaving_ = true;
    StopWorker();
    leaving_ = false;
    return true;
}

void TfrmStato::OnCode(int code, int param)
{
    {
        std::lock_guard<std::mutex> g(shared_->lock);
        shown_ = shared_->live;
    }
    switch (code) {
    case kCodeStatusPicture:
        statusPicture_ = param;
        if (param >= 0 && param < 4) ++pictureCounts_[static_cast<std::size_t>(param)];
        Image9->setPixmap(StatusImages::Image(param));
        break;
    case kCodeRelease:
        if (param == 1) {
            Label12->clear();
            StaticText1->setText(Text(127));
        } else {
            Label12->setText(FromCp1252(shown_.release));
            if (!G()) ResetBtn->setEnabled(ResetAllowed(shown_.release));
        }
        break;
    case kCodeDisplay:
        sgWarnings->viewport()->update();
        ShowDisplay();
        break;
    case kCodeOutputs:
        sgUscite->viewport()->update();
        break;
    case kCodeInputs:
        for (int row = 1; row <= 3; ++row)
            sgIngressi->SetCells(4, row,
                                 FromCp1252(InputFlagTexts(row, shown_.inputFlags, variant_,
                                                           [this](int n) { return st.Text(n); })));
        sgIngressi->viewport()->update();
        break;
    case kCodeIdentity: {
        stRecModemInfo& info = host_.ModemInfo();
        for (std::size_t i = 0; i < 6; ++i) info.s[i] = shown_.identity[i];
        ShowIdentity();
        break;
    }
    case kCodeAnimation:
        frame_ = (frame_ + 1) % 8;
        Image10->setPixmap(StatusImages::Frame(frame_));
        break;
    case kCodeDates:
        ShowDates();
        break;
    case kCodeWarningsG:
        sgWarnings->viewport()->update();
        break;
    case kCodePinWanted:
        if (!TimerPIN->isActive()) TimerPIN->start();
        break;
    case kCodeCommandDone:
    case kCodeEnded:
        if (commandGuard_) {
            commandGuard_ = false;
            host_.SetTreeEnabled(true);
        }
        break;
    default:
        break;
    }
}

void TfrmStato::ShowDisplay()
{
    const int level = SignalLevel(shown_.signal);
    QString name;
    if (level > 0) {
        lcd->SetLine(3, QString());
        lcd->SetLine(4, FromCp1252(shown_.identity[5]));
        name = QStringLiteral("lcd-sign%1.bmp").arg(level);
    } else {
        name = QStringLiteral("nosign.bmp");
        lcd->SetLine(3, Text(159));
        lcd->SetLine(4, Text(160));
    }
    const QString file = ResolveNoCase(JoinPath(st.folders.bitmap, QStringLiteral("lcd/") + name));
    if (QFileInfo::exists(file)) {
        lcd->SetPicture(QPixmap(file));
        displayBitmap_ = name;
    } else if (G()) {
        lcd->SetPicture(QPixmap());
        displayBitmap_.clear();
    }
    supplyPicture_ = SupplyImage(shown_.supply);
    Image8->setPixmap(StatusImages::Image(supplyPicture_));
}

void TfrmStato::ShowDates()
{
    const auto show = [this](QLabel* label, std::uint32_t counter) {
        if (counter == 0) {
            label->setText(G() ? QStringLiteral("...") : QString());
        } else if (G()) {
            // Unix seconds taken from local time: the fields are shown as they are.
            const QDateTime t = QDateTime::fromSecsSinceEpoch(counter, QTimeZone::utc());
            label->setText(FormatDate(t));
        } else {
            label->setText(FormatDate(QDateTime::currentDateTime().addSecs(static_cast<qint64>(counter) * 60)));
        }
    };
    show(dtSms, shown_.counter1);
    show(dtCid, shown_.counter2);
}

void TfrmStato::Image8MouseMove()
{
    if (shown_.supply == 255) return;
    SetHint(Image8, FromCp1252(SupplyHint(shown_.supply, variant_)));
}

bool TfrmStato::eventFilter(QObject* obj, QEvent* e)
{
    if ((obj == Image8 || obj == Image9 || obj == Image10) &&
        (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter))
        Image8MouseMove();
    return TPageForm::eventFilter(obj, e);
}

void TfrmStato::sgUsciteDrawCell(QPainter& p, const QRect& r, int col, int row)
{
    const int bit = row - 1;
    const std::uint8_t value = shown_.outputValues[static_cast<std::size_t>(bit)];
    const bool remote = Bit(shown_.outputsC, bit);
    switch (col) {
    case 1: DrawCentred(p, r, ImageLists::ImageList4(Bit(shown_.outputsA, bit) ? 0 : 1)); break;
    case 2: DrawCentred(p, r, StatusImages::Image(Bit(shown_.outputsB, bit) ? StatusImages::kLedLit : StatusImages::kLedDark)); break;
    case 3: DrawCentred(p, r, StatusImages::Image(remote ? StatusImages::kLedLit : StatusImages::kLedDark)); break;
    case 4:
        if (remote && value != 255) DrawCentred(p, r, StatusImages::Image(StatusImages::kTimed));
        break;
    case 5:
        if (remote && value != 255) PaintTextCell(p, r, QString::number(value), Qt::AlignCenter);
        break;
    default: break;
    }
}

void TfrmStato::sgIngressiDrawCell(QPainter& p, const QRect& r, int col, int row)
{
    const int bit = row - 1;
    switch (col) {
    case 1:
        if (G())
            DrawCentred(p, r, ImageLists::ImageList4(Bit(shown_.inputsH, bit) ? 2 : 3), 3);
        else
            DrawCentred(p, r, ImageLists::ImageList4(Bit(shown_.inputsH, bit) ? 1 : 0));
        break;
    case 2:
        DrawCentred(p, r, StatusImages::Image(Bit(shown_.inputsL, bit) != Bit(shown_.inputsH, bit) ? StatusImages::kLedLit
                                                                                                : StatusImages::kLedDark));
        break;
    case 3:
        if (row <= 3)
            DrawCentred(p, r, StatusImages::Image(InputFlagLit(row, shown_.inputFlags) ? StatusImages::kLedLit
                                                                                       : StatusImages::kLedDark));
        break;
    case 4:
        if (row <= 3) PaintTextCell(p, r, sgIngressi->Cells(4, row));
        break;
    default: break;
    }
}

void TfrmStato::sgWarningsDrawCell(QPainter& p, const QRect& r, int col, int row)
{
    if (col != 1) return;
    bool lit;
    if (G()) {
        const WarningRow& w = WarningRowsG()[static_cast<std::size_t>(row - 1)];
        lit = Bit(w.extra ? shown_.extraWarnings : shown_.warnings, w.bit);
    } else {
        lit = Bit(shown_.warnings, row - 1);
    }
    DrawCentred(p, r, StatusImages::Image(lit ? StatusImages::kLedLit : StatusImages::kLedDark));
}

}  // namespace pelix
