#include "telefono.h"

#include "app/imagelists.h"
#include "common/release.h"
#include "common/text.h"
#include "pages/pagegrid.h"
#include "pages/pagehelpers.h"
#include "pages/uscite.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pelix {

namespace {

bool IsPhoneChar(QChar ch) { return ch == u'+' || (ch >= u'0' && ch <= u'9'); }

// What a number cell may hold: "+" and digits, at most 20 of them. Text pasted
// into the editor passes no key filter, so it is cleaned here as well.
QString CleanPhoneNumber(const QString& text)
{
    QString out;
    for (QChar ch : text)
        if (IsPhoneChar(ch) && out.size() < TfrmTelefono::kTextLength) out += ch;
    return out;
}

}  // namespace

TfrmTelefono::TfrmTelefono(PageContext& c, QWidget* owner) : TPageForm(c, owner, HintPauseRule::ShortWhileOpen)
{
    GroupBox1 = new QGroupBox(this);
    StringGrid1 = new PageGrid(8, 1, 1, GroupBox1);
    auto* bookLayout = new QVBoxLayout(GroupBox1);
    bookLayout->addWidget(StringGrid1);
    bookLayout->setSizeConstraint(QLayout::SetMaximumSize);
    StringGrid1->setColumnWidth(ColNumber, 40);
    StringGrid1->setColumnWidth(ColName, 180);
    StringGrid1->setColumnWidth(ColPhone, 180);
    StringGrid1->setColumnWidth(ColSms, 50);
    for (int col = ColOut1; col <= ColOut4; ++col) StringGrid1->setColumnWidth(col, 56);

    GroupBox2 = new QGroupBox(this);
    GroupBox3 = new QGroupBox(GroupBox2);
    LabeledEdit1 = new QLineEdit(GroupBox3);
    LabeledEdit1->setMaxLength(4);
    LabeledEdit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), LabeledEdit1));
    LabeledEdit1->setFixedWidth(80);
    auto* prefixLayout = new QHBoxLayout(GroupBox3);
    prefixLayout->addWidget(LabeledEdit1);
    GroupBox4 = new QGroupBox(GroupBox2);
    SpinEdit1 = new QSpinBox(GroupBox4);
    SpinEdit1->setRange(0, 4);
    SpinEdit1->setFixedWidth(80);
    auto* digitsLayout = new QHBoxLayout(GroupBox4);
    digitsLayout->addWidget(SpinEdit1);
    GroupBox3->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    GroupBox4->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* optionsLayout = new QHBoxLayout(GroupBox2);
    optionsLayout->addWidget(GroupBox3);
    optionsLayout->addWidget(GroupBox4);
    optionsLayout->addStretch();

    Panel1 = new QWidget(this);
    StaticText1 = NewStatusLabel(Panel1);
    auto* statusLayout = new QHBoxLayout(Panel1);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->addWidget(StaticText1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addWidget(GroupBox2);
    layout->addStretch();
    layout->addWidget(Panel1);
    SetStatusLine(StaticText1);

    StringGrid1->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { StringGrid1DrawCell(p, r, col, row); };
    StringGrid1->canEdit = [this](int col, int row) {
        return (col == ColName || col == ColPhone) && row >= 1 && row <= Entries();
    };
    StringGrid1->maxLength = [](int col) { return col == ColName || col == ColPhone ? kTextLength : 0; };
    StringGrid1->acceptKey = [](int col, QChar ch, const QString& current) {
        if (current.size() >= kTextLength) return false;
        return col != ColPhone || IsPhoneChar(ch);
    };
    connect(StringGrid1, &PageGrid::CellClick, this, &TfrmTelefono::StringGrid1Click);
    connect(StringGrid1, &PageGrid::CellEdited, this, &TfrmTelefono::StringGrid1SetEditText);
}

int TfrmTelefono::Entries() const { return PhoneEntriesInUse(Model()); }

void TfrmTelefono::FormShow()
{
    const bool modelA = Model() == kModelA;
    GroupBox1->setTitle(Text(26));
    GroupBox2->setTitle(Text(503));
    GroupBox3->setTitle(Text(44));
    SetHint(GroupBox3, Text(405));
    GroupBox4->setTitle(Text(66));
    SetHint(GroupBox4, Text(406));

    const int n = Entries();
    PageGrid& g = *StringGrid1;
    g.setRowCount(n + 1);
    for (int row = 0; row <= n; ++row)
        for (int col = 0; col < g.columnCount(); ++col) g.SetCells(col, row, QString());
    g.SetCells(ColNumber, 0, Text(45));
    g.SetCells(ColName, 0, Text(27));
    g.SetCells(ColPhone, 0, Text(28));
    g.SetCells(ColSms, 0, Text(173));
    for (int k = 0; k < 4; ++k) g.SetCells(ColOut1 + k, 0, Text(175) + QString::number(k + 1));
    g.SetHeadingBand(ColOut1, ColOut4, Text(174));
    g.setRowHeight(0, 36);
    for (int row = 1; row <= n; ++row) {
        g.setRowHeight(row, 18);
        g.SetCells(ColNumber, row, QString::number(row));
    }
    g.FitColumnsToHeadings();
    g.FreezeHeadings();
    g.LimitToContents();
    if (!modelA)
        g.cellHint = [this](int col, int) { return col <= ColSms ? Text(400 + col) : Text(404); };

    // Digits to remove: always on the second-generation models, from release
    // 1.1 on PELIX-A. A disabled box keeps its stored value.
    const bool digits = !modelA || ReleaseAtLeast(st.cliente.Rel_firmware.view(), kRelease11);
    GroupBox4->setEnabled(digits);
    SpinEdit1->setEnabled(digits);
    Panel1->setVisible(!modelA);

    SpinEdit1->setValue(st.image.Opzioni.CifreRim);
    LabeledEdit1->setText(FromCp1252(st.image.Opzioni.Prefisso.view()));
    for (int i = 0; i < n; ++i) {
        g.SetCells(ColName, i + 1, FromCp1252(st.image.NumTel[static_cast<std::size_t>(i)].Descrizione.view()));
        g.SetCells(ColPhone, i + 1, FromCp1252(st.image.NumTel[static_cast<std::size_t>(i)].Numero.view()));
    }
}

void TfrmTelefono::FormClose()
{
    StringGrid1->CommitEditor();
    st.image.Opzioni.CifreRim = SpinEdit1->value();
    st.image.Opzioni.Prefisso = ToCp1252(LabeledEdit1->text());
    // Every entry is written, so the entries past those in use are left empty.
    for (int i = 0; i < kPhoneEntries; ++i) {
        Tag_NumTel& e = st.image.NumTel[static_cast<std::size_t>(i)];
        e.Descrizione = ToCp1252(StringGrid1->Cells(ColName, i + 1));
        e.Numero = ToCp1252(CleanPhoneNumber(StringGrid1->Cells(ColPhone, i + 1)));
    }
}

bool TfrmTelefono::ReceivesInputSms(int entry) const
{
    if (entry < 0 || entry >= 8) return false;  // the input SMS masks have 8 bits
    const int inputs = Model() == kModelG ? 8 : 7;
    for (int i = 0; i < inputs; ++i)
        if (TestBit(st.image.Ingresso[static_cast<std::size_t>(i)].MaskSms, entry)) return true;
    return false;
}

void TfrmTelefono::StringGrid1DrawCell(QPainter& p, const QRect& rect, int col, int row)
{
    if (col < ColSms) {
        PaintTextCell(p, rect, StringGrid1->Cells(col, row));
        return;
    }
    const bool unavailable = Model() == kModelA || (col == ColSms && row > 8) || row > Entries();
    if (unavailable) {
        PaintUnavailableCell(p, rect);
        return;
    }
    if (col == ColSms) {
        PaintCheckCell(p, rect, false);
        if (ReceivesInputSms(row - 1)) p.drawPixmap(rect.topLeft(), ImageLists::ImageList2(1));
        return;
    }
    PaintCheckCell(p, rect, TestBit(st.image.NumTel[static_cast<std::size_t>(row - 1)].Uscite, col - ColOut1));
}

// The numbers allowed to command one output always form one unbroken run of
// rows: a click inside the run clears it whole, a click at an end shortens it,
// and a click outside extends it up to the clicked row.
void TfrmTelefono::StringGrid1Click(int col, int row)
{
    if (col < ColOut1 || col > ColOut4 || Model() == kModelA || st.flags.selectionGuard) return;
    const int n = Entries();
    if (row < 1 || row > n) return;
    const int k = col - ColOut1;
    const int r = row - 1;
    auto has = [this, k](int e) { return TestBit(st.image.NumTel[static_cast<std::size_t>(e)].Uscite, k); };
    auto set = [this, k](int e, bool on) { SetBit(st.image.NumTel[static_cast<std::size_t>(e)].Uscite, k, on); };

    if (has(r)) {
        if (r > 0 && r < n - 1 && has(r - 1) && has(r + 1)) {
            for (int e = 0; e < n; ++e) set(e, false);
        } else {
            set(r, false);
        }
    } else {
        int f = -1;
        for (int e = 0; e < n && f < 0; ++e)
            if (has(e)) f = e;
        if (f < 0) set(r, true);
        else if (r < f)
            for (int e = r; e < f; ++e) set(e, true);
        else
            for (int e = f + 1; e <= r; ++e) set(e, true);
        // An output a number may command is reserved for remote commands, as
        // reserving it on the outputs page would: its events no longer switch it
        // (the outputs page hides them on a reserved output, so they could not
        // be seen or cleared there).
        Tag_Uscita& out = st.image.Uscite[static_cast<std::size_t>(k)];
        if (!out.OUTRESERV) ReserveOutput(out);
    }
    StringGrid1->viewport()->update();
}

void TfrmTelefono::StringGrid1SetEditText(int col, int row, const QString& text)
{
    if (col != ColPhone) return;
    const QString clean = CleanPhoneNumber(text);
    if (clean != text) StringGrid1->SetCells(col, row, clean);
}

}  // namespace pelix
