#include "uscite.h"

#include "common/release.h"
#include "common/text.h"
#include "pages/pagegrid.h"
#include "pages/pagehelpers.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>
#include <QVBoxLayout>

namespace pelix {

namespace {

// Letters the device's character set holds, and the digits 0 to 9.
bool IsLabelChar(QChar ch)
{
    if (ch >= u'0' && ch <= u'9') return true;
    return ch.isLetter() && ToCp1252(QString(ch)) != "?";
}

// What an output label may hold; pasted text passes no key filter, so an edit
// is cleaned the same way the keys are filtered.
QString CleanLabel(const QString& text, bool blanks, int max)
{
    QString out;
    for (QChar ch : text)
        if ((IsLabelChar(ch) || (blanks && ch == u' ')) && out.size() < max) out += ch;
    return out;
}

// The user code: up to four letters, digits or blanks.
class UserCodeValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        if (input.size() > 4) return Invalid;
        for (QChar ch : input)
            if (!IsLabelChar(ch) && ch != u' ') return Invalid;
        return Acceptable;
    }
};

constexpr int kEventHeadingsA[] = {34, 35, 36, 37, 56, 38, 39};
constexpr int kBitHeadings[] = {34, 35, 193, 194, 39, 38, 195, 196};

void Frame(QPainter& p, const QRect& r, const QColor& c)
{
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

void ReserveOutput(Tag_Uscita& u)
{
    u.OUTRESERV = 1;
    u.MaskEventiPELIX_I = 0;
}

std::uint8_t Tag_Uscita::*TfrmUscite::EventOf(int col)
{
    switch (col) {
    case 2: return &Tag_Uscita::FP;
    case 3: return &Tag_Uscita::FG;
    case 4: return &Tag_Uscita::BC;
    case 5: return &Tag_Uscita::BP;
    case 6: return &Tag_Uscita::MS;
    case 7: return &Tag_Uscita::CO;
    case 8: return &Tag_Uscita::CI;
    default: return nullptr;
    }
}

TfrmUscite::TfrmUscite(PageContext& c, QWidget* owner) : TPageForm(c, owner, HintPauseRule::ShortWhileOpen)
{
    GroupBox1 = new QGroupBox(this);
    HyperGrid2 = new PageGrid(11, kOutputs + 1, 1, GroupBox1);
    hgOutI = new PageGrid(15, kOutputs + 1, 1, GroupBox1);
    auto* gridLayout = new QVBoxLayout(GroupBox1);
    gridLayout->addWidget(HyperGrid2);
    gridLayout->addWidget(hgOutI);
    gridLayout->setSizeConstraint(QLayout::SetMaximumSize);
    for (PageGrid* g : {HyperGrid2, hgOutI}) {
        g->setColumnWidth(ColNumber, 36);
        g->setColumnWidth(ColPolarity, 62);
        g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    for (int col = ColFirstEvent; col <= ColLastEvent; ++col) HyperGrid2->setColumnWidth(col, 42);
    HyperGrid2->setColumnWidth(ColReservedA, 72);
    HyperGrid2->setColumnWidth(ColLabelA, 150);
    for (int col = ColFirstBit; col <= ColLastBit; ++col) hgOutI->setColumnWidth(col, 52);
    hgOutI->setColumnWidth(ColReserved, 70);
    hgOutI->setColumnWidth(ColLabel, 110);
    hgOutI->setColumnWidth(ColConfirm, 100);
    hgOutI->setColumnWidth(ColTimed, 56);
    hgOutI->setColumnWidth(ColOnTime, 64);

    Legend = new PolarityLegend(this);
    Label3 = new QLabel(this);
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(4);
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setValidator(new UserCodeValidator(Edit1));
    Edit1->setFixedWidth(70);
    Edit1->installEventFilter(this);
    Label3->setBuddy(Edit1);

    Panel1 = new QWidget(this);
    StaticText1 = NewStatusLabel(Panel1);
    auto* statusLayout = new QHBoxLayout(Panel1);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->addWidget(StaticText1);

    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(Legend);
    codeRow->addStretch();
    codeRow->addWidget(Label3);
    codeRow->addWidget(Edit1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 0, Qt::AlignLeft);
    layout->addLayout(codeRow);
    layout->addStretch();
    layout->addWidget(Panel1);
    SetStatusLine(StaticText1);

    HyperGrid2->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { HyperGrid2DrawCell(p, r, col, row); };
    HyperGrid2->canEdit = [this](int col, int row) {
        return col == ColLabelA && row >= 1 && row <= kOutputs && Output(row).OUTRESERV;
    };
    HyperGrid2->acceptKey = [](int col, QChar ch, const QString& current) {
        if (col != ColLabelA) return false;
        if (ch == u' ') return true;
        return IsLabelChar(ch) && current.size() < kLabelLengthA;
    };
    connect(HyperGrid2, &PageGrid::CellClick, this, &TfrmUscite::HyperGrid2Click);
    connect(HyperGrid2, &PageGrid::CellEdited, this,
            [this](int col, int row, const QString& text) { CellEdited(HyperGrid2, col, row, text); });

    hgOutI->drawCell = [this](QPainter& p, const QRect& r, int col, int row) { hgOutIDrawCell(p, r, col, row); };
    hgOutI->canEdit = [this](int col, int row) {
        if (row < 1 || row > kOutputs) return false;
        const Tag_Uscita& u = Output(row);
        switch (col) {
        case ColLabel: return u.OUTRESERV != 0;
        case ColConfirm: return true;
        case ColOnTime: return u.OUTRESERV && u.Tipo == 1;
        default: return false;
        }
    };
    hgOutI->maxLength = [](int col) { return col == ColOnTime ? 3 : 0; };
    hgOutI->acceptKey = [](int col, QChar ch, const QString& current) {
        if (col == ColLabel) return IsLabelChar(ch) && current.size() < kLabelLength;
        if (col == ColOnTime) return ch >= u'0' && ch <= u'9' && current.trimmed().size() <= 2;
        return false;
    };
    hgOutI->comboItems = [this](int col, int row) { return col == ColConfirm ? ConfirmItems(row) : QStringList(); };
    connect(hgOutI, &PageGrid::CellClick, this, &TfrmUscite::hgOutIClick);
    connect(hgOutI, &PageGrid::ComboChosen, this, &TfrmUscite::hgOutIComboChosen);
    connect(hgOutI, &PageGrid::CellEdited, this,
            [this](int col, int row, const QString& text) { CellEdited(hgOutI, col, row, text); });
}

TfrmUscite::~TfrmUscite()
{
    // Leaving the page takes the focus away from the code box; that is not the
    // user leaving the box.
    Edit1->removeEventFilter(this);
}

Tag_Uscita& TfrmUscite::Output(int row) { return st.image.Uscite[static_cast<std::size_t>(row - 1)]; }

void TfrmUscite::FormShow()
{
    const bool modelA = Model() == kModelA;
    HyperGrid2->setVisible(modelA);
    hgOutI->setVisible(!modelA);
    Panel1->setVisible(!modelA);

    GroupBox1->setTitle(Text(47));
    Legend->SetTexts(Text(60), Text(61));
    Label3->setText(Text(69));
    if (!modelA) SetHint(Edit1, Text(454) + QStringLiteral(" / ") + Text(455) + QStringLiteral(" / ") + Text(456));

    auto fit = [](PageGrid& g) {
        g.setRowHeight(0, 36);
        for (int row = 1; row <= kOutputs; ++row) g.setRowHeight(row, 22);
        g.FitColumnsToHeadings();
        g.LimitToContents();
        g.setMinimumHeight(g.maximumHeight());
    };
    auto numbers = [this](PageGrid& g) {
        g.SetCells(ColNumber, 0, Text(45));
        g.SetCells(ColPolarity, 0, Text(31));
        for (int row = 1; row <= kOutputs; ++row) g.SetCells(ColNumber, row, QString::number(row));
    };

    if (modelA) {
        PageGrid& g = *HyperGrid2;
        numbers(g);
        for (int col = ColFirstEvent; col <= ColLastEvent; ++col)
            g.SetCells(col, 0, Text(kEventHeadingsA[col - ColFirstEvent]));
        g.SetCells(ColReservedA, 0, Text(65));
        g.SetCells(ColLabelA, 0, Text(81));
        // Reservation and labels came with release 1.1.
        const bool reservation = ReleaseAtLeast(st.cliente.Rel_firmware.view(), kRelease11);
        g.setColumnHidden(ColReservedA, !reservation);
        g.setColumnHidden(ColLabelA, !reservation);
        fit(g);
    } else {
        PageGrid& g = *hgOutI;
        numbers(g);
        for (int col = ColFirstBit; col <= ColLastBit; ++col) g.SetCells(col, 0, Text(kBitHeadings[col - ColFirstBit]));
        g.SetCells(ColReserved, 0, Text(65));
        g.SetCells(ColLabel, 0, Text(81));
        g.SetCells(ColConfirm, 0, Text(199));
        g.SetCells(ColTimed, 0, Text(197));
        g.SetCells(ColOnTime, 0, Text(198));
        fit(g);
        if (Model() == kModelI)
            g.cellHint = [this](int col, int) { return col >= 1 && col <= ColOnTime ? Text(439 + col) : QString(); };
    }

    Edit1->setText(FromCp1252(st.image.Opzioni.CodUscSms.view()));
    for (int row = 1; row <= kOutputs; ++row) {
        const Tag_Uscita& u = Output(row);
        if (modelA) {
            HyperGrid2->SetCells(ColLabelA, row, FromCp1252(u.Messaggio.view()));
        } else {
            hgOutI->SetCells(ColLabel, row, FromCp1252(u.Messaggio.view()));
            hgOutI->SetCells(ColConfirm, row, Text(200 + (u.Conferma <= 2 ? u.Conferma : 0)));
            hgOutI->SetCells(ColOnTime, row, QString::number(u.TempoOn));
        }
    }
}

void TfrmUscite::FormClose()
{
    HyperGrid2->CommitEditor();
    hgOutI->CommitEditor();
    // A page left by a command (not by a click elsewhere) gets the same check
    // as a code box the user leaves, so a short code never reaches the image.
    Edit1Exit();
    st.image.Opzioni.CodUscSms = ToCp1252(Edit1->text());
    const bool modelA = Model() == kModelA;
    for (int row = 1; row <= kOutputs; ++row) {
        Tag_Uscita& u = Output(row);
        if (modelA) {
            u.Messaggio = ToCp1252(HyperGrid2->Cells(ColLabelA, row));
        } else {
            u.Messaggio = ToCp1252(hgOutI->Cells(ColLabel, row));
            u.TempoOn = static_cast<std::uint8_t>(
                u.OUTRESERV && u.Tipo == 1 ? StrToIntClamped(hgOutI->Cells(ColOnTime, row), 2, 2, 254) : 0);
        }
    }
}

bool TfrmUscite::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == Edit1 && e->type() == QEvent::FocusOut) {
        // Only the focus moving to another control leaves the box; a message
        // box or another window taking the focus does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Edit1Exit();
    }
    return TPageForm::eventFilter(obj, e);
}

void TfrmUscite::Edit1Exit()
{
    if (Edit1->text().size() >= 4) return;
    // The default goes in before the message, so the box is complete while the
    // message has the focus.
    Edit1->setText(QString::fromLatin1(kDefaultUserCode));
    ShowMsg(fb, kUserCodeMessage, MsgType::Warning);
}

// An output is switched by at most one of its own events set; each event drives
// at most one output, a reserved output is driven by none, and the counter of
// assigned events never passes seven.
void TfrmUscite::HyperGrid2Click(int col, int row)
{
    if (row < 1 || row > kOutputs) return;
    Tag_Uscita& u = Output(row);
    if (col == ColPolarity) {
        u.Polarita = u.Polarita ? 0 : 1;
    } else if (std::uint8_t Tag_Uscita::*event = EventOf(col)) {
        if (!(u.*event)) {
            if (u.OUTRESERV) return;
            for (const Tag_Uscita& other : st.image.Uscite)
                if (other.*event) return;
        }
        u.*event = u.*event ? 0 : 1;
        st.EventiAssegnati += u.*event ? 1 : -1;
        if (st.EventiAssegnati > kMaxEventiAssegnati) {
            u.*event = 0;
            --st.EventiAssegnati;
        }
    } else if (col == ColReservedA) {
        u.OUTRESERV = u.OUTRESERV ? 0 : 1;
        if (u.OUTRESERV) {
            for (int c = ColFirstEvent; c <= ColLastEvent; ++c) {
                if (u.*EventOf(c)) {
                    u.*EventOf(c) = 0;
                    --st.EventiAssegnati;
                }
            }
        } else {
            u.Messaggio.clear();
            HyperGrid2->SetCells(ColLabelA, row, QString());
        }
    } else {
        return;
    }
    HyperGrid2->viewport()->update();
}

void TfrmUscite::HyperGrid2DrawCell(QPainter& p, const QRect& rect, int col, int row)
{
    if (row < 1 || row > kOutputs) return;
    const Tag_Uscita& u = Output(row);
    if (col == ColPolarity) {
        PaintPolarityCell(p, rect, u.Polarita);
        Frame(p, rect, palette().color(QPalette::Button));
    } else if (std::uint8_t Tag_Uscita::*event = EventOf(col)) {
        PaintCheckCell(p, rect, u.*event);
    } else if (col == ColReservedA) {
        PaintCheckCell(p, rect, u.OUTRESERV);
    } else if (col == ColLabelA) {
        PaintTextCell(p, rect, HyperGrid2->Cells(col, row));
    }
}

QStringList TfrmUscite::ConfirmItems(int row) const
{
    if (row < 1 || row > kOutputs) return {};
    const Tag_Uscita& u = st.image.Uscite[static_cast<std::size_t>(row - 1)];
    if (!u.OUTRESERV) return {Text(200)};
    // Confirming by SMS needs the label the SMS would name.
    if (hgOutI->Cells(ColLabel, row).isEmpty()) return {Text(200), Text(202)};
    return {Text(200), Text(201), Text(202)};
}

void TfrmUscite::hgOutIClick(int col, int row)
{
    if (row < 1 || row > kOutputs) return;
    Tag_Uscita& u = Output(row);
    if (col == ColPolarity) {
        u.Polarita = u.Polarita ? 0 : 1;
    } else if (col >= ColFirstBit && col <= ColLastBit) {
        if (u.OUTRESERV) return;
        SetBit(u.MaskEventiPELIX_I, col - ColFirstBit, !TestBit(u.MaskEventiPELIX_I, col - ColFirstBit));
    } else if (col == ColReserved) {
        if (!u.OUTRESERV) {
            ReserveOutput(u);
        } else {
            u.OUTRESERV = 0;
            u.Tipo = 0;
            u.TempoOn = 0;
            u.Conferma = 0;
            u.Messaggio.clear();
            hgOutI->SetCells(ColLabel, row, QString());
            hgOutI->SetCells(ColConfirm, row, Text(200));
            hgOutI->SetCells(ColOnTime, row, QStringLiteral("0"));
            // No number may command an output that is no longer reserved.
            const int entries = PhoneEntriesInUse(Model());
            for (int e = 0; e < entries; ++e) SetBit(st.image.NumTel[static_cast<std::size_t>(e)].Uscite, row - 1, false);
        }
    } else if (col == ColTimed) {
        if (!u.OUTRESERV) return;
        u.Tipo = u.Tipo == 1 ? 0 : 1;
    } else {
        return;
    }
    hgOutI->viewport()->update();
}

void TfrmUscite::hgOutIComboChosen(int col, int row, int index)
{
    if (col != ColConfirm || row < 1 || row > kOutputs) return;
    Tag_Uscita& u = Output(row);
    const QStringList items = ConfirmItems(row);
    if (u.OUTRESERV && index >= 0 && index < items.size()) {
        int chosen = IndexOfItem(items[index], items, 0, true);
        // With two items the second is the call, so the stored value keeps
        // one meaning: 0 none, 1 by SMS, 2 by call.
        if (items.size() == 2 && chosen == 1) chosen = 2;
        u.Conferma = static_cast<std::uint8_t>(chosen);
    }
    hgOutI->SetCells(ColConfirm, row, Text(200 + (u.Conferma <= 2 ? u.Conferma : 0)));
    hgOutI->viewport()->update();
}

void TfrmUscite::hgOutIDrawCell(QPainter& p, const QRect& rect, int col, int row)
{
    if (row < 1 || row > kOutputs) return;
    const Tag_Uscita& u = Output(row);
    const QColor frame = palette().color(QPalette::Button);
    if (col >= ColLabel && col <= ColOnTime && !u.OUTRESERV) {
        PaintUnavailableCell(p, rect);
        return;
    }
    if (col == ColPolarity) {
        PaintPolarityCell(p, rect, u.Polarita);
        Frame(p, rect, frame);
    } else if (col >= ColFirstBit && col <= ColLastBit) {
        if (u.OUTRESERV) PaintUnavailableCell(p, rect);
        else PaintCheckCell(p, rect, TestBit(u.MaskEventiPELIX_I, col - ColFirstBit));
    } else if (col == ColReserved) {
        PaintCheckCell(p, rect, u.OUTRESERV);
    } else if (col == ColLabel) {
        // On the G model a command confirmed by a call needs no label.
        if (Model() == kModelG && u.Conferma == 2) PaintUnavailableCell(p, rect);
        else PaintTextCell(p, rect, hgOutI->Cells(col, row));
    } else if (col == ColConfirm) {
        PaintTextCell(p, rect, Text(200 + (u.Conferma <= 2 ? u.Conferma : 0)));
    } else if (col == ColTimed) {
        PaintCheckCell(p, rect, u.Tipo == 1);
    } else if (col == ColOnTime) {
        PaintTextCell(p, rect, hgOutI->Cells(col, row), Qt::AlignRight);
    }
}

void TfrmUscite::CellEdited(PageGrid* grid, int col, int row, const QString& text)
{
    QString clean = text;
    if (grid == HyperGrid2 && col == ColLabelA) clean = CleanLabel(text, true, kLabelLengthA);
    else if (grid == hgOutI && col == ColLabel) clean = CleanLabel(text, false, kLabelLength);
    else if (grid == hgOutI && col == ColOnTime) clean = text.trimmed().left(3);
    if (clean != text) grid->SetCells(col, row, clean);
    grid->viewport()->update();
}

}  // namespace pelix
