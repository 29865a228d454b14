#include "comdig.h"

#include "model/imageinit.h"
#include "pages/pagegrid.h"
#include "pages/pagehelpers.h"
#include "pages/schedule.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelix {

namespace {

enum { ColName = 0, ColAccount = 1, ColCode1 = 2, ColCode2 = 3, ColSend = 4 };

// Swallows the Delete key in an editor; backspace still erases.
class IgnoreDelete : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) return true;
        return QObject::eventFilter(obj, e);
    }
};

bool IsHexUpper(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }

CountedString<20>& Number(Tag_ComDig& c, int i)
{
    switch (i) {
    case 0: return c.Numero1;
    case 1: return c.Numero2;
    case 2: return c.Numero3;
    default: return c.Numero4;
    }
}

}  // namespace

TfrmComDig::TfrmComDig(PageContext& c, QWidget* owner) : TfrmComDig(c, owner, false) {}

TfrmComDig::TfrmComDig(PageContext& c, QWidget* owner, bool g) : TPageForm(c, owner, HintPauseRule::Shorten), g_(g) { Build(); }

void TfrmComDig::Build()
{
    gbNumeri = new QGroupBox(this);
    auto* numbers = new QGridLayout(gbNumeri);
    Label1 = new QLabel(gbNumeri);
    numbers->addWidget(Label1, 0, 0, 1, 8);
    for (int i = 0; i < 4; ++i) {
        NumLabel[static_cast<std::size_t>(i)] = new QLabel(QString::number(i + 1), gbNumeri);
        QLineEdit* e = MaskEdit[static_cast<std::size_t>(i)] = new QLineEdit(gbNumeri);
        e->setObjectName(QStringLiteral("MaskEdit%1").arg(i + 1));
        FilterEdit(e, [](QChar ch) { return ch.isDigit() || ch == u'*' || ch == u'+' || ch == u','; }, 20);
        numbers->addWidget(NumLabel[static_cast<std::size_t>(i)], 1 + i / 2, (i % 2) * 2, Qt::AlignRight);
        numbers->addWidget(e, 1 + i / 2, (i % 2) * 2 + 1);
    }

    hgEventi = new PageGrid(5, Events() + 1, 1, this);
    hgEventi->setObjectName(QStringLiteral("hgEventi"));
    hgEventi->setColumnWidth(ColName, 260);
    hgEventi->setColumnWidth(ColAccount, 90);
    hgEventi->setColumnWidth(ColCode1, 55);
    hgEventi->setColumnWidth(ColCode2, 55);
    hgEventi->setColumnWidth(ColSend, 70);
    hgEventi->setRowHeight(0, 36);
    hgEventi->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    if (g_) {
        // Every cell that takes text shows its editor as soon as it is selected.
        hgEventi->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
    }
    hgEventi->canEdit = [this](int col, int row) {
        if (col == ColAccount || col == ColCode2) return true;
        return col == ColCode1 && row <= 8;
    };
    hgEventi->maxLength = [](int col) { return col == ColAccount ? 4 : col == ColCode1 ? 1 : col == ColCode2 ? 2 : 0; };
    hgEventi->prepareEditor = [this](int col, int row, QLineEdit* editor) {
        FilterEdit(editor, [this, col](QChar ch) { return KeyAllowed(col, ch); }, 0, g_);
        if (row == 2 || row == 4 || row == 6 || row >= 8) editor->installEventFilter(new IgnoreDelete(editor));
    };
    hgEventi->drawCell = [this](QPainter& p, const QRect& r, int col, int row) {
        if (col == ColSend) {
            PaintCheckCell(p, r, st.image.ComDig.Eventi[static_cast<std::size_t>(row - 1)].Invia == 1);
            return;
        }
        p.fillRect(r, palette().color(QPalette::Base));
        PaintTextCell(p, r, hgEventi->Cells(col, row), Qt::AlignCenter);
    };
    hgEventi->cellHint = [this](int col, int) {
        switch (col) {
        case ColAccount: return Text(461);
        case ColCode1:
        case ColCode2: return Text(462);
        case ColSend: return Text(463);
        default: return QString();
        }
    };
    connect(hgEventi, &PageGrid::CellEdited, this, [this](int col, int row, const QString& t) { hgEventiSetEditText(col, row, t); });
    connect(hgEventi, &PageGrid::CellClick, this, [this](int col, int row) { hgEventiClick(col, row); });

    bDefault = new QPushButton(this);
    bDefault->setObjectName(QStringLiteral("bDefault"));
    connect(bDefault, &QPushButton::clicked, this, [this] { bDefaultClick(); });

    if (g_)
        gbPeriodico = new TPeriodicSchedule(st.flags, TPeriodicSchedule::Style::Normalised,
                                            {QStringLiteral("999; "), QStringLiteral("999; "), QStringLiteral("999999; ")}, this);
    else
        gbPeriodico = new TPeriodicSchedule(st.flags, TPeriodicSchedule::Style::RangeChecked,
                                            {QStringLiteral("999;_"), QStringLiteral("99;_"), QStringLiteral("99;_")}, this);
    gbPeriodico->setObjectName(QStringLiteral("gbPeriodico"));

    CheckBox1 = new QCheckBox(this);
    CheckBox1->setVisible(g_);

    StaticText1 = NewStatusLabel(this);
    SetStatusLine(StaticText1);

    auto* right = new QVBoxLayout;
    right->addWidget(gbNumeri);
    right->addWidget(gbPeriodico);
    right->addWidget(CheckBox1);
    right->addWidget(bDefault, 0, Qt::AlignLeft);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(hgEventi, 0, Qt::AlignTop);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(StaticText1);
}

bool TfrmComDig::KeyAllowed(int col, QChar c) const
{
    switch (col) {
    case ColAccount: return IsHexUpper(c);
    case ColCode1:
    case ColCode2:
        // On PELIX-G "A" stands for the digit 0, which is refused.
        return IsHexUpper(c) && !(g_ && c == u'0');
    default: return false;
    }
}

void TfrmComDig::FormShow()
{
    Label1->setText(Text(300));
    for (QLineEdit* e : MaskEdit) SetHint(e, Text(460));
    bDefault->setText(Text(502));
    gbPeriodico->setTitle(Text(g_ ? 358 : 356));
    SetHint(gbPeriodico, Text(464));
    gbPeriodico->SetCaptions([this](int n) { return Text(n); });
    CheckBox1->setText(Text(521));

    hgEventi->SetCells(ColName, 0, Text(301));
    hgEventi->SetCells(ColAccount, 0, Text(302));
    hgEventi->SetCells(ColCode1, 0, QString());
    hgEventi->SetCells(ColCode2, 0, QString());
    hgEventi->SetHeadingBand(ColCode1, ColCode2, Text(303));
    hgEventi->SetCells(ColSend, 0, Text(304));
    for (int r = 1; r <= Events(); ++r) {
        QString name;
        if (r <= 8) {
            const int n = (r + 1) / 2;
            if (r % 2 == 1) name = Text(350) + u' ' + QString::number(n);
            else if (g_) name = Text(350) + u' ' + QString::number(n) + u' ' + Text(607);
            else name = Text(351) + u' ' + QString::number(n);
        } else {
            name = Text(352 + r - 9);
        }
        hgEventi->SetCells(ColName, r, name);
    }
    hgEventi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hgEventi->FitColumnsToHeadings();
    hgEventi->LimitToContents();
    LoadPage();
}

void TfrmComDig::LoadPage()
{
    const Tag_ComDig& c = st.image.ComDig;
    for (int i = 0; i < 4; ++i)
        MaskEdit[static_cast<std::size_t>(i)]->setText(FromCp1252(Number(st.image.ComDig, i).view()));

    // Rows come in pairs that show the same codes: an input's alarm and its
    // restore share the first event's; every later row shares event 8's account.
    for (int r = 1; r <= Events(); ++r) {
        const std::size_t e = static_cast<std::size_t>(r - 1);
        const std::size_t shown = r <= 8 ? static_cast<std::size_t>((r - 1) / 2 * 2) : e;
        const std::size_t account = r <= 8 ? shown : 8;
        hgEventi->SetCells(ColAccount, r, FromCp1252(c.Eventi[account].CodiceUtente.view()));
        hgEventi->SetCells(ColCode1, r, FromCp1252(c.Eventi[shown].CodiceEvento1.view()));
        hgEventi->SetCells(ColCode2, r, FromCp1252(c.Eventi[shown].CodiceEvento2.view()));
        hgEventi->SetCells(ColSend, r, QString());
    }

    gbPeriodico->SetAllEnabled(c.Eventi[static_cast<std::size_t>(PeriodicRow() - 1)].Invia == 1);
    if (g_) gbPeriodico->LoadUnix(st.image.Opzioni.SegPrimoUnix);
    else gbPeriodico->LoadDateAndTime(c.SegDataPrimo, c.SegOraPrimo);
    gbPeriodico->LoadInterval(c.SegIntervallo);
    if (g_) CheckBox1->setChecked(st.image.GPRS.NtelChiamataADT != 0);
    hgEventi->viewport()->update();
}

void TfrmComDig::hgEventiSetEditText(int col, int row, const QString& text)
{
    std::vector<int> mirrors;
    const int pairRow = row % 2 == 1 ? row + 1 : row - 1;
    if (col == ColAccount) {
        if (row <= 8) mirrors.push_back(pairRow);
        else
            for (int r = 9; r <= Events(); ++r)
                if (r != row) mirrors.push_back(r);
    } else if (col == ColCode1 || col == ColCode2) {
        if (row <= LastPairedCodeRow()) mirrors.push_back(pairRow);
    }
    for (int r : mirrors) hgEventi->SetCells(col, r, text);
    hgEventi->viewport()->update();
}

void TfrmComDig::hgEventiClick(int col, int row)
{
    if (col != ColSend || row < 1 || row > Events()) return;
    if (row <= 8) {
        const Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>((row - 1) / 2)];
        // An input given function A or B reports no alarm of its own.
        if (in.ServPELIX_I_1 || in.ServPELIX_I_2) return;
    }
    Tag_Evento& e = st.image.ComDig.Eventi[static_cast<std::size_t>(row - 1)];
    e.Invia = e.Invia == 1 ? 0 : 1;
    if (row == PeriodicRow()) gbPeriodico->SetAllEnabled(e.Invia == 1);
    hgEventi->viewport()->update();
}

void TfrmComDig::bDefaultClick()
{
    hgEventi->CommitEditor();
    Tag_GlobalBuffer defaults;
    WriteImageDefaults(defaults, g_ ? kModelG : kModelI, st.texts, 0);
    for (int e = 0; e < Events(); ++e) {
        Tag_Evento& ev = st.image.ComDig.Eventi[static_cast<std::size_t>(e)];
        const Tag_Evento& d = defaults.ComDig.Eventi[static_cast<std::size_t>(e)];
        ev.CodiceEvento1 = d.CodiceEvento1;
        ev.CodiceEvento2 = d.CodiceEvento2;
        if (g_) ev.Invia = 0;
    }
    LoadPage();
}

void TfrmComDig::WriteBack()
{
    hgEventi->CommitEditor();
    Tag_ComDig& c = st.image.ComDig;
    for (int i = 0; i < 4; ++i) Number(c, i) = ToCp1252(MaskEdit[static_cast<std::size_t>(i)]->text());
    for (int e = 0; e < Events(); ++e) {
        Tag_Evento& ev = c.Eventi[static_cast<std::size_t>(e)];
        const std::string account = PadLeft(ToCp1252(hgEventi->Cells(ColAccount, e + 1)), 4, '0').substr(0, 4);
        ev.CodiceUtente = account == "0000" ? std::string() : account;
        ev.CodiceEvento1 = ToCp1252(hgEventi->Cells(ColCode1, e + 1));
        ev.CodiceEvento2 = ToCp1252(hgEventi->Cells(ColCode2, e + 1));
    }
    if (g_) {
        st.image.Opzioni.SegPrimoUnix = gbPeriodico->Unix();
    } else {
        gbPeriodico->StoreDateAndTime(c.SegDataPrimo, c.SegOraPrimo);
    }
    c.SegIntervallo = gbPeriodico->Interval();
    if (g_) st.image.GPRS.NtelChiamataADT = CheckBox1->isChecked() ? 1 : 0;
}

bool TfrmComDig::FormCloseQuery()
{
    WriteBack();
    const Tag_ComDig& c = st.image.ComDig;
    bool reported = false;
    for (int e = 0; e < Events(); ++e) reported = reported || c.Eventi[static_cast<std::size_t>(e)].Invia == 1;
    if (!reported) return true;
    if (g_ && CheckBox1->isChecked()) return true;
    for (QLineEdit* m : MaskEdit)
        if (!m->text().isEmpty()) return true;
    ShowMsg(fb, st.Text(505), MsgType::Warning, MsgButtons::Ok);
    Tag = 255;
    return false;
}

}  // namespace pelix
