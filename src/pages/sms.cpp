#include "sms.h"

#include "common/release.h"
#include "link/comm.h"
#include "link/identify.h"
#include "link/monitor.h"
#include "pages/inputrules.h"
#include "pages/pagegrid.h"
#include "pages/pagehelpers.h"
#include "pages/schedule.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pelix {

namespace {

constexpr int kSmsTextMax = 120;    // characters of an SMS text kept
constexpr int kEventTextMax = 100;  // characters of an input or event text

// SMS texts: blank to "z", without "[", "\", "]", "^", "_" and "`".
bool SmsTextChar(QChar c) { return c.unicode() >= 32 && c.unicode() <= 122 && !(c.unicode() >= 91 && c.unicode() <= 96); }

// Columns of the PELIX-A input grid.
enum { A_Pol = 1, A_SmsA = 2, A_SmsR = 3, A_Tel1 = 4, A_Tel8 = 11, A_Serv = 12, A_UsaGsm = 13, A_Commuta = 14 };
// Columns of the event-text grid.
enum { E_Pol = 1, E_Tel1 = 2, E_Tel8 = 9, E_Attiv = 10, E_Ripr = 11, E_FunA = 12, E_FunB = 13 };

}  // namespace

TfrmSms::TfrmSms(PageContext& c, QWidget* owner) : TfrmSms(c, owner, false) {}

TfrmSms::TfrmSms(PageContext& c, QWidget* owner, bool g) : TPageForm(c, owner, HintPauseRule::ShortWhileOpen), g_(g) { Build(); }

void TfrmSms::Build()
{
    BuildLayoutA();
    BuildLayoutEvents();
    Panel4 = new QWidget(this);
    auto* pl = new QHBoxLayout(Panel4);
    pl->setContentsMargins(0, 0, 0, 0);
    StaticText2 = NewStatusLabel(Panel4);
    pl->addWidget(StaticText2);
    SetStatusLine(StaticText2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pnlA, 1);
    layout->addWidget(pnlEventi, 1);
    layout->addWidget(Panel4);
}

// --- PELIX-A layout ----------------------------------------------------------

void TfrmSms::BuildLayoutA()
{
    pnlA = new QWidget(this);
    gbTesti = new QGroupBox(pnlA);
    StringGrid3 = new PageGrid(2, 9, 1, gbTesti);
    StringGrid3->setObjectName(QStringLiteral("StringGrid3"));
    StringGrid3->setColumnWidth(0, 40);
    StringGrid3->setColumnWidth(1, 760);
    StringGrid3->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    StringGrid3->canEdit = [](int col, int) { return col == 1; };
    StringGrid3->maxLength = [](int) { return kSmsTextMax; };
    StringGrid3->prepareEditor = [](int, int, QLineEdit* e) { FilterEdit(e, SmsTextChar, kSmsTextMax); };
    auto* tl = new QVBoxLayout(gbTesti);
    tl->addWidget(StringGrid3);

    gbIngressi = new QGroupBox(pnlA);
    HyperGrid1 = new PageGrid(15, 5, 1, gbIngressi);
    HyperGrid1->setObjectName(QStringLiteral("HyperGrid1"));
    const int widths[15] = {40, 60, 120, 120, 24, 24, 24, 24, 24, 24, 24, 24, 70, 70, 110};
    for (int c = 0; c < 15; ++c) HyperGrid1->setColumnWidth(c, widths[c]);
    HyperGrid1->setRowHeight(0, 40);
    HyperGrid1->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    HyperGrid1->canEdit = [](int col, int) { return col == A_SmsA || col == A_SmsR; };
    HyperGrid1->comboItems = [this](int col, int) { return col == A_SmsA || col == A_SmsR ? SmsItems() : QStringList(); };
    HyperGrid1->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { HyperGrid1DrawCell(p, r, col, row); };
    HyperGrid1->headingName = [this](int col) {
        if (col < A_Tel1 || col > A_Tel8) return QString();
        const Tag_NumTel& n = st.image.NumTel[static_cast<std::size_t>(col - A_Tel1)];
        return FromCp1252(n.Descrizione.view()) + u'[' + FromCp1252(n.Numero.view()) + u']';
    };
    connect(HyperGrid1, &PageGrid::CellClick, this, [this](int col, int row) { HyperGrid1Click(col, row); });
    connect(HyperGrid1, &PageGrid::ComboChosen, this, [this](int col, int row, int i) { HyperGrid1Choose(col, row, i); });
    LegendA = new PolarityLegend(gbIngressi);
    auto* il = new QVBoxLayout(gbIngressi);
    il->addWidget(HyperGrid1);
    il->addWidget(LegendA, 0, Qt::AlignLeft);

    auto* l = new QVBoxLayout(pnlA);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(gbTesti);
    l->addWidget(gbIngressi);
    l->addStretch();
}

QStringList TfrmSms::SmsItems() const
{
    QStringList items{FromCp1252(st.image.Sms[0].view())};
    for (int i = 1; i <= 8; ++i) items << Text(63) + QString::number(i);
    return items;
}

void TfrmSms::ShowChoices(int row)
{
    const QStringList items = SmsItems();
    const Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    HyperGrid1->SetCells(A_SmsA, row, items.value(in.SmsA, items[0]));
    HyperGrid1->SetCells(A_SmsR, row, items.value(in.SmsR, items[0]));
}

void TfrmSms::ApplyInput4Rule() { pelix::ApplyInput4Rule(st.image, release11_); }

void TfrmSms::HyperGrid1DrawCell(QPainter& p, const QRect& r, int col, int row)
{
    const Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    const Tag_Opzioni& o = st.image.Opzioni;
    const bool switched = row == 4 && (o.UsaGsm || o.CommutaChiama);
    if (col == A_Pol) {
        PaintPolarityCell(p, r, in.Polarita);
    } else if (col == A_SmsA || col == A_SmsR) {
        p.fillRect(r, palette().color(QPalette::Base));
        PaintTextCell(p, r, HyperGrid1->Cells(col, row));
    } else if (col >= A_Tel1 && col <= A_Tel8) {
        if (switched) PaintUnavailableCell(p, r);
        else PaintCheckCell(p, r, TestBit(in.MaskSms, col - A_Tel1));
    } else if (col == A_Serv) {
        PaintCheckCell(p, r, in.Serv != 0);
    } else if (row != 4) {
        PaintUnavailableCell(p, r);
    } else {
        PaintCheckCell(p, r, (col == A_UsaGsm ? o.UsaGsm : o.CommutaChiama) != 0);
    }
}

void TfrmSms::HyperGrid1Click(int col, int row)
{
    if (row < 1 || row > 4) return;
    Tag_Opzioni& o = st.image.Opzioni;
    Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    if (col == A_UsaGsm && row == 4) {
        if (!release11_) return;
        o.UsaGsm = o.UsaGsm ? 0 : 1;
        ApplyInput4Rule();
        ShowChoices(4);
    } else if (col == A_Commuta && row == 4) {
        if (!release11_) return;
        ToggleCommutaChiama(st.image);
        ShowChoices(4);
    } else if (col == A_Serv) {
        ToggleService(st.image, row - 1, release11_);
        ShowChoices(row);
    } else if (col >= A_Tel1 && col <= A_Tel8) {
        if (in.Serv || (row == 4 && (o.UsaGsm || o.CommutaChiama))) return;
        SetBit(in.MaskSms, col - A_Tel1, !TestBit(in.MaskSms, col - A_Tel1));
    } else if (col == A_Pol) {
        in.Polarita = in.Polarita ? 0 : 1;
    } else {
        return;
    }
    HyperGrid1->viewport()->update();
}

void TfrmSms::HyperGrid1Choose(int col, int row, int index)
{
    if (row < 1 || row > 4 || index < 0) return;
    // Input 4 switching to GSM sends no text: the choice shows but is not kept.
    if (row == 4 && st.image.Opzioni.UsaGsm == 1) return;
    Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    (col == A_SmsA ? in.SmsA : in.SmsR) = static_cast<std::uint8_t>(index);
}

// --- Event-text layout -------------------------------------------------------

void TfrmSms::BuildLayoutEvents()
{
    pnlEventi = new QWidget(this);
    HyperGrid2 = new PageGrid(14, DataRows() + 1, 1, pnlEventi);
    HyperGrid2->setObjectName(QStringLiteral("HyperGrid2"));
    const int widths[14] = {140, 50, 22, 22, 22, 22, 22, 22, 22, 22, 200, 200, 26, 26};
    for (int c = 0; c < 14; ++c) HyperGrid2->setColumnWidth(c, widths[c]);
    HyperGrid2->setRowHeight(0, 40);
    HyperGrid2->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    if (g_)
        HyperGrid2->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
    HyperGrid2->canEdit = [this](int col, int row) {
        if (col != E_Attiv && col != E_Ripr) return false;
        if (col == E_Ripr && row == DataRows()) return false;
        // A row given function A or B sends no texts of its own.
        return !HasFunction(row);
    };
    HyperGrid2->maxLength = [](int) { return kEventTextMax; };
    HyperGrid2->prepareEditor = [this](int, int, QLineEdit* e) {
        FilterEdit(e, [this](QChar ch) { return EventTextKey(ch); }, kEventTextMax);
    };
    HyperGrid2->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { HyperGrid2DrawCell(p, r, col, row); };
    HyperGrid2->cellHint = [this](int col, int row) { return HyperGrid2Hint(col, row); };
    connect(HyperGrid2, &PageGrid::CellClick, this, [this](int col, int row) { HyperGrid2Click(col, row); });
    connect(HyperGrid2, &PageGrid::CellEdited, this,
            [this](int col, int row, const QString&) { HyperGrid2SetEditText(col, row); });
    LegendB = new PolarityLegend(pnlEventi, g_);

    Label1 = new QLabel(pnlEventi);
    sgLegenda = new PageGrid(3, 7, 0, pnlEventi);
    sgLegenda->setObjectName(QStringLiteral("sgLegenda"));
    sgLegenda->setColumnWidth(0, 70);
    sgLegenda->setColumnWidth(1, 24);
    sgLegenda->setColumnWidth(2, 250);
    sgLegenda->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    sgLegenda->setSelectionMode(QAbstractItemView::NoSelection);
    sgLegenda->setFocusPolicy(Qt::NoFocus);

    gbChiamataADT = new QGroupBox(pnlEventi);
    auto* adtLabel = new QLabel(gbChiamataADT);
    adtLabel->setObjectName(QStringLiteral("LabelADT"));
    edNtelADT = new QLineEdit(gbChiamataADT);
    FilterEdit(edNtelADT, [](QChar ch) { return ch.isDigit() || ch == u'*' || ch == u','; }, 20);
    auto* al = new QHBoxLayout(gbChiamataADT);
    al->addWidget(adtLabel);
    al->addWidget(edNtelADT);
    gbChiamataADT->setVisible(false);

    if (g_)
        gbSmsPeriodico = new TPeriodicSchedule(st.flags, TPeriodicSchedule::Style::Normalised,
                                               {QStringLiteral("999; "), QStringLiteral("99; "), QStringLiteral("99; ")}, pnlEventi);
    else
        gbSmsPeriodico = new TPeriodicSchedule(st.flags, TPeriodicSchedule::Style::RangeChecked,
                                               {QStringLiteral("999;_"), QStringLiteral("99;_"), QStringLiteral("99;_")}, pnlEventi);
    gbSmsPeriodico->setObjectName(QStringLiteral("gbSmsPeriodico"));

    gbCredito = new QGroupBox(pnlEventi);
    CheckBox1 = new QCheckBox(gbCredito);
    Label8 = new QLabel(gbCredito);
    edIntervallocredito = new QLineEdit(gbCredito);
    edIntervallocredito->setObjectName(QStringLiteral("edIntervallocredito"));
    edIntervallocredito->setInputMask(QStringLiteral("999;_"));
    edIntervallocredito->setMaximumWidth(60);
    connect(edIntervallocredito, &QLineEdit::textChanged, this, [this] { ClampEditRange(edIntervallocredito, 1, 99); });
    Label9 = new QLabel(gbCredito);
    Edit1 = new QLineEdit(gbCredito);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(7);
    if (g_) FilterEdit(Edit1, [](QChar ch) { return ch.isDigit() || ch == u'#' || ch == u'*'; }, 7);
    Edit1->setMaximumWidth(90);
    butt = new QPushButton(gbCredito);
    butt->setObjectName(QStringLiteral("butt"));
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    connect(butt, &QPushButton::clicked, this, [this] { buttClick(); });
    auto* cl = new QGridLayout(gbCredito);
    cl->addWidget(CheckBox1, 0, 0, 1, 3);
    cl->addWidget(Label8, 1, 0);
    cl->addWidget(edIntervallocredito, 1, 1);
    cl->addWidget(Label9, 2, 0);
    cl->addWidget(Edit1, 2, 1);
    cl->addWidget(butt, 2, 2);
    cl->setColumnStretch(3, 1);

    rbPriorita = new QGroupBox(pnlEventi);
    RadioButton1 = new QRadioButton(rbPriorita);
    RadioButton2 = new QRadioButton(rbPriorita);
    auto* rl = new QHBoxLayout(rbPriorita);
    rl->addWidget(RadioButton1);
    rl->addWidget(RadioButton2);
    rl->addStretch();

    auto* legend = new QVBoxLayout;
    legend->addWidget(LegendB, 0, Qt::AlignLeft);
    legend->addWidget(Label1);
    legend->addWidget(sgLegenda, 0, Qt::AlignLeft | Qt::AlignTop);
    legend->addStretch();
    auto* groups = new QVBoxLayout;
    groups->addWidget(gbChiamataADT);
    groups->addWidget(gbSmsPeriodico);
    groups->addWidget(gbCredito);
    groups->addWidget(rbPriorita);
    groups->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addLayout(legend);
    lower->addLayout(groups, 1);
    auto* l = new QVBoxLayout(pnlEventi);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(HyperGrid2, 0, Qt::AlignLeft);
    l->addLayout(lower, 1);
}

bool TfrmSms::HasFunction(int row) const
{
    const Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    return in.ServPELIX_I_1 || in.ServPELIX_I_2;
}

bool TfrmSms::EventTextKey(QChar c) const
{
    if (!c.isPrint()) return false;
    // PELIX-G keeps "!" and ";" out of its texts.
    return !(g_ && (c == u'!' || c == u';'));
}

void TfrmSms::HyperGrid2DrawCell(QPainter& p, const QRect& r, int col, int row)
{
    const Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    const bool function = in.ServPELIX_I_1 || in.ServPELIX_I_2;
    if (col == E_Pol) {
        if (row <= 4) PaintPolarityCell(p, r, in.Polarita, g_);
        else PaintUnavailableCell(p, r);
    } else if (col >= E_Tel1 && col <= E_Tel8) {
        if (g_ && function) PaintUnavailableCell(p, r);
        else PaintCheckCell(p, r, TestBit(in.MaskSms, col - E_Tel1));
    } else if (col == E_Attiv || col == E_Ripr) {
        if ((col == E_Ripr && row == DataRows()) || (g_ && function)) {
            PaintUnavailableCell(p, r);
        } else {
            p.fillRect(r, palette().color(QPalette::Base));
            PaintTextCell(p, r, HyperGrid2->Cells(col, row));
        }
    } else if (row >= 4 || (g_ && col == E_FunB && row == 1)) {
        PaintUnavailableCell(p, r);
    } else {
        PaintCheckCell(p, r, (col == E_FunA ? in.ServPELIX_I_1 : in.ServPELIX_I_2) != 0);
    }
}

void TfrmSms::HyperGrid2Click(int col, int row)
{
    if (row < 1 || row > DataRows()) return;
    Tag_Ingresso& in = Entry(row);
    if (col == E_Pol) {
        // Input 3 (PELIX-I) or input 1 (PELIX-G) with function B works at a fixed polarity.
        if (!g_ && row == 3 && in.ServPELIX_I_2) return;
        if (g_ && row == 1 && in.ServPELIX_I_2) return;
        in.Polarita = in.Polarita ? 0 : 1;
    } else if (col >= E_Tel1 && col <= E_Tel8) {
        if (HasFunction(row)) return;
        SetBit(in.MaskSms, col - E_Tel1, !TestBit(in.MaskSms, col - E_Tel1));
    } else if ((col == E_FunA || col == E_FunB) && row <= 3) {
        if (g_ && col == E_FunB && row == 1) return;
        const bool bWasSet = in.ServPELIX_I_2 != 0;
        if (col == E_FunA) in.ServPELIX_I_1 = in.ServPELIX_I_1 ? 0 : 1;
        else in.ServPELIX_I_2 = in.ServPELIX_I_2 ? 0 : 1;
        if (!g_) {
            if (col == E_FunB && in.ServPELIX_I_2 && row == 1) in.ServPELIX_I_1 = 1;
            if (col == E_FunB && in.ServPELIX_I_2 && row == 3) {
                in.ServPELIX_I_1 = 1;
                in.Polarita = 0;
            }
        } else {
            if (col == E_FunB && in.ServPELIX_I_2 && row == 2) in.ServPELIX_I_1 = 1;
            if (col == E_FunA && bWasSet && (row == 1 || row == 2)) in.ServPELIX_I_2 = 0;
        }
        ApplyPeriodicRule();
        if (row == 3) edNtelADT->setEnabled(in.ServPELIX_I_2 != 0);
        if (HasFunction(row)) {
            // The input now serves its function: it sends no SMS of its own and
            // reports nothing to the receiving centre.
            in.MaskSms = 0;
            HyperGrid2->SetCells(E_Attiv, row, QString());
            HyperGrid2->SetCells(E_Ripr, row, QString());
            in.SMSAttiv.clear();
            in.SMSRipr.clear();
            st.image.ComDig.Eventi[static_cast<std::size_t>(2 * (row - 1))].Invia = 0;
            st.image.ComDig.Eventi[static_cast<std::size_t>(2 * (row - 1) + 1)].Invia = 0;
        }
    } else {
        return;
    }
    HyperGrid2->viewport()->update();
}

void TfrmSms::HyperGrid2SetEditText(int col, int row)
{
    if (col == E_Attiv && row == DataRows()) ApplyPeriodicRule();
}

QString TfrmSms::HyperGrid2Hint(int col, int row)
{
    QString column;
    QString cell;
    if (col == E_Pol) {
        column = Text(420);
    } else if (col >= E_Tel1 && col <= E_Tel8) {
        const Tag_NumTel& n = st.image.NumTel[static_cast<std::size_t>(col - E_Tel1)];
        column = Text(421) + QStringLiteral("  -  ") + FromCp1252(n.Descrizione.view()) + u'[' +
                 FromCp1252(n.Numero.view()) + u']';
    } else if (col == E_Attiv || col == E_Ripr) {
        column = Text(col == E_Attiv ? 422 : 423);
        if (row >= 1) cell = HyperGrid2->Cells(col, row);
    } else if (col == E_FunA || col == E_FunB) {
        column = Text(424);
        if (row >= 1 && row <= 3) cell = sgLegenda->Cells(2, LegendRow(col, row));
    }
    if (g_) {
        if ((col == E_FunA || col == E_FunB) && row >= 1 && row <= 3) HighlightLegend(LegendRow(col, row));
        else if (row > 3 || col == E_Ripr) HighlightLegend(-1);
    }
    cell.replace(u'|', u'/');
    return (cell.isEmpty() ? column : cell) + u'|' + column;
}

void TfrmSms::HighlightLegend(int legendRow)
{
    for (int r = 1; r < sgLegenda->rowCount(); ++r)
        if (QTableWidgetItem* it = sgLegenda->item(r, 2))
            it->setForeground(r == legendRow ? QBrush(Qt::red) : palette().brush(QPalette::Text));
}

void TfrmSms::ApplyPeriodicRule()
{
    const bool on = !HyperGrid2->Cells(E_Attiv, DataRows()).isEmpty();
    gbSmsPeriodico->SetAllEnabled(on);
    const Tag_Ingresso* in = st.image.Ingresso.data();
    if (!g_) {
        // Input 1 with a function starts the periodic SMS itself: no first moment.
        if (on && (in[0].ServPELIX_I_1 || in[0].ServPELIX_I_2)) gbSmsPeriodico->SetFirstEnabled(false);
    } else {
        gbSmsPeriodico->SetFirstEnabled(on && !in[1].ServPELIX_I_1);
    }
}

void TfrmSms::CheckBox1Click() { edIntervallocredito->setEnabled(CheckBox1->isChecked()); }

void TfrmSms::buttClick()
{
    stRecPort own;
    stRecPort* given = creditPort ? creditPort : ctx.port;
    stRecPort& port = given ? *given : own;
    if (!given) {
        if (st.store) PortLoadSettings(own, st.settings.LocalPort, *st.store);
        else own.port = st.settings.LocalPort;
    }
    BusyScope busy(fb);
    // The PELIX-A monitor lets go of the port first; if it will not, the device does not answer.
    if (ctx.monitor && !ctx.monitor->Pause([] { QCoreApplication::processEvents(); })) {
        ctx.monitor->Resume();
        ShowMsg(fb, st.Text(237), MsgType::Error, MsgButtons::Ok);
        return;
    }
    if (PortEnsureOpen(port, fb, st.Text(119))) {
        stRecModemInfo info;
        LinkContext link(port, info, st, fb);
        // A device that does not answer must not leave the installer without a word.
        if (!ModemUssd(link, true, false, TrimSpaces(ToCp1252(Edit1->text()))))
            ShowMsg(fb, st.Text(237), MsgType::Error, MsgButtons::Ok);
    }
    PortClose(port);
    if (ctx.monitor) ctx.monitor->Resume();
}

// --- Show and write-back -----------------------------------------------------

void TfrmSms::FormShow()
{
    const bool modelA = Model() == kModelA;
    release11_ = ReleaseAtLeast(st.cliente.Rel_firmware.view(), kRelease11);

    // Captions.
    gbTesti->setTitle(Text(63));
    StringGrid3->SetCells(0, 0, Text(45));
    StringGrid3->SetCells(1, 0, Text(63));
    for (int r = 1; r <= 8; ++r) StringGrid3->SetCells(0, r, QString::number(r));
    gbIngressi->setTitle(Text(46));
    HyperGrid1->SetCells(0, 0, Text(45));
    HyperGrid1->SetCells(A_Pol, 0, Text(31));
    HyperGrid1->SetCells(A_SmsA, 0, Text(67));
    HyperGrid1->SetCells(A_SmsR, 0, Text(68));
    for (int c = A_Tel1; c <= A_Tel8; ++c) HyperGrid1->SetCells(c, 0, QString::number(c - A_Tel1 + 1));
    for (int r = 1; r <= 4; ++r) HyperGrid1->SetCells(0, r, modelA ? QString::number(r) : QString());
    HyperGrid1->SetCells(A_Serv, 0, Text(166));
    HyperGrid1->SetCells(A_UsaGsm, 0, Text(170));
    HyperGrid1->SetCells(A_Commuta, 0, Text(171));
    HyperGrid1->SetHeadingBand(A_Tel1, A_Tel8, Text(64));
    HyperGrid1->SetHeadingBand(A_SmsA, A_SmsR, Text(63));
    HyperGrid1->SetHeadingBand(A_UsaGsm, A_Commuta, Text(169));
    LegendA->SetTexts(Text(60), Text(61));
    LegendB->SetTexts(Text(60), Text(61));

    HyperGrid2->SetCells(0, 0, QString());
    HyperGrid2->SetCells(E_Pol, 0, Text(g_ ? 606 : 31));
    for (int c = E_Tel1; c <= E_Tel8; ++c) HyperGrid2->SetCells(c, 0, QString::number(c - E_Tel1 + 1));
    HyperGrid2->SetCells(E_Attiv, 0, Text(67));
    HyperGrid2->SetCells(E_Ripr, 0, Text(68));
    HyperGrid2->SetCells(E_FunA, 0, QStringLiteral("A"));
    HyperGrid2->SetCells(E_FunB, 0, QStringLiteral("B"));
    HyperGrid2->SetHeadingBand(E_Tel1, E_Tel8, Text(64));
    HyperGrid2->SetHeadingBand(E_Attiv, E_Ripr, Text(63));
    HyperGrid2->SetHeadingBand(E_FunA, E_FunB, Text(166));

    Label1->setText(Text(185));
    sgLegenda->SetCells(2, 0, Text(27));
    const int legend22[6] = {176, 177, 178, 179, 180, 504};
    const int legend19[6] = {180, 504, 176, 177, 178, 179};
    for (int r = 1; r <= 6; ++r) {
        sgLegenda->SetCells(0, r, r % 2 == 1 ? Text(30) + u' ' + QString::number((r + 1) / 2) : QString());
        sgLegenda->SetCells(1, r, r % 2 == 1 ? QStringLiteral("A") : QStringLiteral("B"));
        sgLegenda->SetCells(2, r, Text(g_ ? legend19[r - 1] : legend22[r - 1]));
    }
    // PELIX-G input 1 has no function B.
    sgLegenda->setRowHidden(2, g_);

    gbChiamataADT->setTitle(Text(243));
    SetHint(gbChiamataADT, Text(425));
    gbChiamataADT->findChild<QLabel*>(QStringLiteral("LabelADT"))->setText(Text(186));
    gbSmsPeriodico->setTitle(Text(184));
    SetHint(gbSmsPeriodico, Text(426));
    gbSmsPeriodico->SetCaptions([this](int n) { return Text(n); });
    gbCredito->setTitle(Text(204));
    SetHint(gbCredito, Text(427));
    CheckBox1->setText(Text(205));
    Label8->setText(Text(206));
    butt->setText(Text(204));
    Label9->setText(Text(204));
    rbPriorita->setTitle(Text(207));
    SetHint(rbPriorita, Text(428));
    RadioButton1->setText(Text(208));
    RadioButton2->setText(Text(209));

    for (PageGrid* grid : {StringGrid3, HyperGrid1, HyperGrid2, sgLegenda}) {
        // Every row is always in view.
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->FitColumnsToHeadings();
        grid->LimitToContents();
    }

    // Layout of the model.
    pnlA->setVisible(modelA);
    pnlA->setEnabled(modelA);
    pnlEventi->setVisible(!modelA);
    Panel4->setVisible(!modelA);
    CheckBox1->setVisible(!g_);
    Label8->setVisible(!g_);
    edIntervallocredito->setVisible(!g_);
    Edit1->setVisible(g_);

    if (modelA) ApplyInput4Rule();

    // Load.
    for (int r = 1; r <= 8; ++r) StringGrid3->SetCells(1, r, FromCp1252(st.image.Sms[static_cast<std::size_t>(r)].view()));
    const QString query = FromCp1252(st.image.Opzioni.StringaControllo.view());
    Edit1->setText(g_ ? query.trimmed() : query);
    if (modelA) {
        for (int r = 1; r <= 4; ++r) ShowChoices(r);
    } else {
        for (int r = 1; r <= 4; ++r)
            for (int c = A_Pol; c < HyperGrid1->columnCount(); ++c) HyperGrid1->SetCells(c, r, QString());
    }

    if (!modelA) {
        const Tag_Opzioni& o = st.image.Opzioni;
        const int eventLabels22[3] = {182, 183, 184};
        const int eventLabels19[4] = {182, 600, 183, 184};
        for (int r = 1; r <= DataRows(); ++r) {
            const Tag_Ingresso& in = Entry(r);
            HyperGrid2->SetCells(0, r, r <= 4 ? Text(30) + u' ' + QString::number(r)
                                               : Text(g_ ? eventLabels19[r - 5] : eventLabels22[r - 5]));
            HyperGrid2->SetCells(E_Attiv, r, FromCp1252(in.SMSAttiv.view()));
            HyperGrid2->SetCells(E_Ripr, r, FromCp1252(in.SMSRipr.view()));
        }
        ApplyPeriodicRule();
        edNtelADT->setText(FromCp1252(o.NtelADT.view()));
        edNtelADT->setEnabled(st.image.Ingresso[2].ServPELIX_I_2 != 0);
        if (g_) gbSmsPeriodico->LoadUnix(o.SMSPrimoUnix);
        else gbSmsPeriodico->LoadDateAndTime(o.SMSDataPrimo, o.SMSOraPrimo);
        gbSmsPeriodico->LoadInterval(o.SMSIntervallo);
        CheckBox1->setChecked(o.ControlloCreditoAttivo != 0);
        {
            const QSignalBlocker block(edIntervallocredito);
            edIntervallocredito->setText(o.ControlloCreditoAttivo ? QString::number(o.ControlloCredito) : QString());
        }
        edIntervallocredito->setEnabled(o.ControlloCreditoAttivo != 0);
        RadioButton2->setChecked(o.Priorita != 0);
        RadioButton1->setChecked(o.Priorita == 0);
    }
}

void TfrmSms::FormClose()
{
    StringGrid3->CommitEditor();
    HyperGrid2->CommitEditor();
    Tag_Opzioni& o = st.image.Opzioni;
    std::string query = ToCp1252(Edit1->text());
    if (g_) query = PadLeft(query, 7, ' ');
    o.StringaControllo = query;

    for (int r = 1; r <= 8; ++r) {
        const std::string text = TrimSpaces(ToCp1252(StringGrid3->Cells(1, r).left(kSmsTextMax)));
        auto& stored = st.image.Sms[static_cast<std::size_t>(r)];
        if (stored.view() != text) stored = text;
    }

    if (Model() == kModelA) return;
    for (int r = 1; r <= DataRows(); ++r) {
        Tag_Ingresso& in = Entry(r);
        in.SMSAttiv = TrimSpaces(ToCp1252(HyperGrid2->Cells(E_Attiv, r)));
        in.SMSRipr = TrimSpaces(ToCp1252(HyperGrid2->Cells(E_Ripr, r)));
    }
    o.NtelADT = ToCp1252(edNtelADT->text());
    if (g_) o.SMSPrimoUnix = gbSmsPeriodico->Unix();
    else gbSmsPeriodico->StoreDateAndTime(o.SMSDataPrimo, o.SMSOraPrimo);
    o.SMSIntervallo = gbSmsPeriodico->Interval();
    o.ControlloCreditoAttivo = CheckBox1->isChecked() ? 1 : 0;
    o.ControlloCredito = CheckBox1->isChecked()
                             ? static_cast<std::uint8_t>(StrToIntClamped(edIntervallocredito->text(), 1, 1, 255))
                             : 0;
    o.Priorita = RadioButton1->isChecked() ? 0 : 1;
}

}  // namespace pelix
