#include "avvtel.h"

#include "common/release.h"
#include "common/text.h"
#include "pages/inputrules.h"
#include "pages/pagegrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pelix {

TfrmAvvTel::TfrmAvvTel(PageContext& c, QWidget* owner) : TPageForm(c, owner)
{
    GroupBox1 = new QGroupBox(this);
    HyperGrid1 = new PageGrid(14, kInputRows + 1, 1, GroupBox1);
    auto* inputsLayout = new QVBoxLayout(GroupBox1);
    inputsLayout->addWidget(HyperGrid1);
    inputsLayout->setSizeConstraint(QLayout::SetMaximumSize);
    HyperGrid1->setColumnWidth(ColInput, 36);
    HyperGrid1->setColumnWidth(ColPolarity, 62);
    HyperGrid1->setColumnWidth(ColMessage, 150);
    for (int col = ColNumber1; col <= ColNumber8; ++col) HyperGrid1->setColumnWidth(col, 26);
    HyperGrid1->setColumnWidth(ColService, 62);
    HyperGrid1->setColumnWidth(ColUsaGsm, 90);
    HyperGrid1->setColumnWidth(ColCommutaChiama, 90);
    HyperGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    GroupBox2 = new QGroupBox(this);
    StringGrid2 = new PageGrid(2, kMessageLabels + 1, 1, GroupBox2);
    auto* labelsLayout = new QVBoxLayout(GroupBox2);
    labelsLayout->addWidget(StringGrid2);
    labelsLayout->setSizeConstraint(QLayout::SetMaximumSize);
    StringGrid2->setColumnWidth(0, 36);
    StringGrid2->setColumnWidth(1, 220);
    StringGrid2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    GroupBox3 = new QGroupBox(this);
    RadioButton1 = new QRadioButton(GroupBox3);
    RadioButton2 = new QRadioButton(GroupBox3);
    RadioButton3 = new QRadioButton(GroupBox3);
    auto* modeLayout = new QVBoxLayout(GroupBox3);
    modeLayout->addWidget(RadioButton1);
    modeLayout->addWidget(RadioButton2);
    modeLayout->addWidget(RadioButton3);

    GroupBox4 = new QGroupBox(this);
    CheckBox1 = new QCheckBox(GroupBox4);
    auto* callBackLayout = new QVBoxLayout(GroupBox4);
    callBackLayout->addWidget(CheckBox1);

    Legend = new PolarityLegend(this);

    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox3);
    right->addWidget(GroupBox4);
    right->addWidget(Legend);
    right->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addWidget(GroupBox2, 0, Qt::AlignTop);
    lower->addLayout(right);
    lower->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 0, Qt::AlignLeft);
    layout->addLayout(lower);
    layout->addStretch();

    // Editing mode: entering the message column opens its list at once.
    HyperGrid1->setEditTriggers(HyperGrid1->editTriggers() | QAbstractItemView::CurrentChanged |
                                QAbstractItemView::SelectedClicked);
    HyperGrid1->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { HyperGrid1DrawCell(p, r, col, row); };
    HyperGrid1->canEdit = [](int col, int row) { return col == ColMessage && row >= 1 && row <= kInputRows; };
    HyperGrid1->comboItems = [this](int col, int) { return col == ColMessage ? MessageLabels() : QStringList(); };
    HyperGrid1->headingName = [this](int col) {
        if (col < ColNumber1 || col > ColNumber8) return QString();
        const Tag_NumTel& e = st.image.NumTel[static_cast<std::size_t>(col - ColNumber1)];
        return FromCp1252(e.Descrizione.view()) + u'[' + FromCp1252(e.Numero.view()) + u']';
    };
    connect(HyperGrid1, &PageGrid::CellClick, this, &TfrmAvvTel::HyperGrid1Click);
    connect(HyperGrid1, &PageGrid::ComboChosen, this, &TfrmAvvTel::HyperGrid1ComboChosen);

    StringGrid2->canEdit = [](int col, int row) { return col == 1 && row >= 1 && row <= kMessageLabels; };
    StringGrid2->acceptKey = [](int, QChar, const QString& current) { return current.size() < kLabelLength; };
    // A pasted label passes no key filter; it is held to the same length.
    connect(StringGrid2, &PageGrid::CellEdited, this, [this](int col, int row, const QString& text) {
        if (text.size() > kLabelLength) StringGrid2->SetCells(col, row, text.left(kLabelLength));
    });

    // The labels are written back whenever the focus leaves their grid (and its
    // editor), so the message lists of the input grid follow a rename at once.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        auto inside = [this](QWidget* w) { return w && (w == StringGrid2 || StringGrid2->isAncestorOf(w)); };
        if (inside(old) && !inside(now)) StringGrid2Exit();
    });
}

TfrmAvvTel::~TfrmAvvTel()
{
    // The children go before QObject would drop the connection.
    disconnect(focusWatch_);
}

bool TfrmAvvTel::Release11() const { return ReleaseAtLeast(st.cliente.Rel_firmware.view(), kRelease11); }

QStringList TfrmAvvTel::MessageLabels() const
{
    QStringList items;
    for (const Tag_Messaggio& m : st.image.Messaggi) items << FromCp1252(m);
    return items;
}

QString TfrmAvvTel::MessageOf(int input) const
{
    const int index = st.image.Ingresso[static_cast<std::size_t>(input)].Messaggio;
    return FromCp1252(st.image.Messaggi[static_cast<std::size_t>(index < kMessageLabels ? index : 0)]);
}

// Switch-to-GSM takes input 4 over: it then calls nobody and sends nothing. It
// exists from release 1.1 only.
void TfrmAvvTel::ApplyInput4Rule() { pelix::ApplyInput4Rule(st.image, Release11()); }

void TfrmAvvTel::FormShow()
{
    GroupBox1->setTitle(Text(46));
    GroupBox2->setTitle(Text(29));
    GroupBox3->setTitle(Text(40));
    RadioButton1->setText(Text(41));
    RadioButton2->setText(Text(42));
    RadioButton3->setText(Text(43));
    GroupBox4->setTitle(Text(49));
    CheckBox1->setText(Text(49));
    Legend->SetTexts(Text(60), Text(61));

    PageGrid& g = *HyperGrid1;
    g.SetCells(ColInput, 0, Text(45));
    g.SetCells(ColPolarity, 0, Text(31));
    g.SetCells(ColMessage, 0, Text(32));
    for (int n = 0; n < 8; ++n) g.SetCells(ColNumber1 + n, 0, QString::number(n + 1));
    g.SetHeadingBand(ColNumber1, ColNumber8, Text(64));
    g.SetCells(ColService, 0, Text(166));
    g.SetCells(ColUsaGsm, 0, Text(170));
    g.SetCells(ColCommutaChiama, 0, Text(171));
    g.SetHeadingBand(ColUsaGsm, ColCommutaChiama, Text(169));
    g.setRowHeight(0, 44);
    for (int row = 1; row <= kInputRows; ++row) {
        g.SetCells(ColInput, row, QString::number(row));
        g.setRowHeight(row, 22);
    }
    g.FitColumnsToHeadings();
    g.LimitToContents();
    g.setMinimumHeight(g.maximumHeight());

    PageGrid& m = *StringGrid2;
    m.SetCells(0, 0, Text(45));
    m.SetCells(1, 0, Text(27));
    for (int row = 1; row <= kMessageLabels; ++row) m.SetCells(0, row, QString::number(row));
    m.FitColumnsToHeadings();
    m.LimitToContents();
    m.setMinimumHeight(m.maximumHeight());

    ApplyInput4Rule();

    for (int i = 0; i < kMessageLabels; ++i)
        m.SetCells(1, i + 1, FromCp1252(st.image.Messaggi[static_cast<std::size_t>(i)]));
    for (int row = 1; row <= kInputRows; ++row) g.SetCells(ColMessage, row, MessageOf(row - 1));
    const Tag_Opzioni& o = st.image.Opzioni;
    RadioButton1->setChecked(o.Voceinlinea || (!o.Squillo && !o.Selezione));
    RadioButton2->setChecked(o.Squillo);
    RadioButton3->setChecked(o.Selezione);
    CheckBox1->setChecked(o.Richiama);
}

void TfrmAvvTel::WriteBack()
{
    StringGrid2->CommitEditor();
    for (int i = 0; i < kMessageLabels; ++i)
        st.image.Messaggi[static_cast<std::size_t>(i)] = ToCp1252(StringGrid2->Cells(1, i + 1));
    Tag_Opzioni& o = st.image.Opzioni;
    o.Voceinlinea = RadioButton1->isChecked();
    o.Squillo = RadioButton2->isChecked();
    o.Selezione = RadioButton3->isChecked();
    o.Richiama = CheckBox1->isChecked();
}

void TfrmAvvTel::FormClose() { WriteBack(); }

void TfrmAvvTel::StringGrid2Exit()
{
    WriteBack();
    for (int row = 1; row <= kInputRows; ++row) HyperGrid1->SetCells(ColMessage, row, MessageOf(row - 1));
    HyperGrid1->viewport()->update();
}

void TfrmAvvTel::HyperGrid1DrawCell(QPainter& p, const QRect& rect, int col, int row)
{
    if (row < 1 || row > kInputRows) return;
    const Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    const Tag_Opzioni& o = st.image.Opzioni;
    const bool input4 = row == kInputRows;
    switch (col) {
    case ColPolarity:
        PaintPolarityCell(p, rect, in.Polarita);
        p.setPen(QPen(palette().color(QPalette::Button), 1));
        p.drawRect(rect.adjusted(0, 0, -1, -1));
        return;
    case ColMessage: PaintTextCell(p, rect, MessageOf(row - 1)); return;
    case ColService: PaintCheckCell(p, rect, in.Serv); return;
    case ColUsaGsm:
    case ColCommutaChiama:
        if (!input4) PaintUnavailableCell(p, rect);
        else PaintCheckCell(p, rect, col == ColUsaGsm ? o.UsaGsm : o.CommutaChiama);
        return;
    default: break;
    }
    if (col >= ColNumber1 && col <= ColNumber8) {
        // Switch-and-call keeps number 1 (it calls it); switch-to-GSM calls nobody.
        if (input4 && (o.UsaGsm || (o.CommutaChiama && col > ColNumber1))) PaintUnavailableCell(p, rect);
        else PaintCheckCell(p, rect, TestBit(in.MaskTel, col - ColNumber1));
    }
}

void TfrmAvvTel::HyperGrid1Click(int col, int row)
{
    if (row < 1 || row > kInputRows) return;
    Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    Tag_Opzioni& o = st.image.Opzioni;
    const bool input4 = row == kInputRows;
    switch (col) {
    case ColUsaGsm:
        if (!input4 || !Release11()) return;
        o.UsaGsm = o.UsaGsm ? 0 : 1;
        ApplyInput4Rule();
        HyperGrid1->SetCells(ColMessage, row, MessageOf(row - 1));
        break;
    case ColCommutaChiama:
        if (!input4 || !Release11()) return;
        ToggleCommutaChiama(st.image);
        HyperGrid1->SetCells(ColMessage, row, MessageOf(row - 1));
        break;
    case ColService:
        ToggleService(st.image, row - 1, Release11());
        HyperGrid1->SetCells(ColMessage, row, MessageOf(row - 1));
        break;
    case ColPolarity: in.Polarita = in.Polarita ? 0 : 1; break;
    default:
        if (col < ColNumber1 || col > ColNumber8) return;
        if (in.Serv || (input4 && (o.UsaGsm || o.CommutaChiama))) return;
        SetBit(in.MaskTel, col - ColNumber1, !TestBit(in.MaskTel, col - ColNumber1));
        break;
    }
    HyperGrid1->viewport()->update();
}

void TfrmAvvTel::HyperGrid1ComboChosen(int col, int row, int index)
{
    if (col != ColMessage || row < 1 || row > kInputRows) return;
    Tag_Ingresso& in = st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    const bool locked = in.Serv || (row == kInputRows && st.image.Opzioni.UsaGsm);
    if (!locked && index >= 0 && index < kMessageLabels) in.Messaggio = static_cast<std::uint8_t>(index);
    // A refused choice puts the list back on the message the image keeps.
    if (auto* combo = HyperGrid1->viewport()->findChild<QComboBox*>()) {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(in.Messaggio < kMessageLabels ? in.Messaggio : 0);
    }
    HyperGrid1->SetCells(ColMessage, row, MessageOf(row - 1));
    HyperGrid1->viewport()->update();
}

}  // namespace pelix
