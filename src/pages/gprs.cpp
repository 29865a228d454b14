#include "gprs.h"

#include "pages/pagehelpers.h"
#include "pages/schedule.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace pelix {

namespace {

// Characters that would break the device's configuration text or the modem's
// command line.
bool ApnChar(QChar c)
{
    return c != u'\x1A' && c != u' ' && c != u'!' && c != u'$' && c != u',' && c != u';' && c != QChar(0xA3) &&
           c.isPrint();
}

bool HexChar(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }

// A box of digits whose value is kept at or below `max`: a larger number
// (however many digits) becomes `max` at once.
void DigitBox(QLineEdit* e, int max)
{
    FilterEdit(e, [](QChar c) { return c >= u'0' && c <= u'9'; }, 0);
    QObject::connect(e, &QLineEdit::textChanged, e, [e, max](const QString& t) {
        if (t.isEmpty()) return;
        bool ok = false;
        const qlonglong v = t.toLongLong(&ok);
        if (!ok || v > max) e->setText(QString::number(max));
    });
}

int BoxValue(const QLineEdit* e, int max)
{
    bool ok = false;
    const qlonglong v = e->text().trimmed().toLongLong(&ok);
    if (!ok || v < 0) return 0;
    return static_cast<int>(v > max ? max : v);
}

std::array<std::uint8_t, 4> Address(const std::array<QLineEdit*, 4>& boxes)
{
    std::array<std::uint8_t, 4> ip{};
    for (std::size_t i = 0; i < 4; ++i) ip[i] = static_cast<std::uint8_t>(BoxValue(boxes[i], 255));
    return ip;
}

}  // namespace

TfrmGPRS::TfrmGPRS(PageContext& c, QWidget* owner) : TPageForm(c, owner)
{
    for (auto& l : L) l = new QLabel(this);
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    APNE = edit("APNE");
    FilterEdit(APNE, ApnChar, 32);
    const char* ipNames[4] = {"Ip1E", "IP2E", "IP3E", "IP4E"};
    const char* ip2Names[4] = {"Ip5E", "Ip6E", "Ip7E", "Ip8E"};
    for (std::size_t i = 0; i < 4; ++i) {
        IpE[i] = edit(ipNames[i]);
        Ip2E[i] = edit(ip2Names[i]);
        for (QLineEdit* e : {IpE[i], Ip2E[i]}) {
            DigitBox(e, 255);
            e->setMaximumWidth(50);
        }
    }
    PortE = edit("PortE");
    Port2E = edit("Port2E");
    for (QLineEdit* e : {PortE, Port2E}) {
        DigitBox(e, 65535);
        e->setMaximumWidth(80);
    }
    UserE = edit("UserE");
    FilterEdit(UserE, ApnChar, 30);
    PasswordE = edit("PasswordE");
    FilterEdit(PasswordE, ApnChar, 16);
    APN2E = edit("APN2E");
    FilterEdit(APN2E, ApnChar, 32);
    Tel1E = edit("Tel1E");
    Tel2E = edit("Tel2E");
    for (QLineEdit* e : {Tel1E, Tel2E}) {
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\+?[0-9]*")), e));
        e->setMaxLength(16);
    }
    CBSupervi = new QCheckBox(this);
    TempoE = new QSpinBox(this);
    TempoE->setObjectName(QStringLiteral("TempoE"));
    // The minimum of a running supervision is one minute; the value 0 below
    // it stands for "off" and shows as "-".
    TempoE->setRange(0, 999);
    TempoE->setMaximumWidth(80);
    DNISE = edit("DNISE");
    FilterEdit(DNISE, HexChar, 5, true);
    DNISE->setMaximumWidth(80);
    Edit1 = edit("Edit1");
    FilterEdit(Edit1, HexChar, 10, true);
    Edit1->setMaximumWidth(130);
    SIME = edit("SIME");
    FilterEdit(SIME, [](QChar c) { return c >= u'0' && c <= u'9'; }, 21);
    SIME->setVisible(false);
    L[10]->setVisible(false);

    gbImpostazioni = new QGroupBox(this);
    auto* s = new QGridLayout(gbImpostazioni);
    auto addressRow = [](QGridLayout* g, int row, const std::array<QLineEdit*, 4>& boxes) {
        auto* h = new QHBoxLayout;
        for (QLineEdit* b : boxes) h->addWidget(b);
        h->addStretch();
        g->addLayout(h, row, 1);
    };
    s->addWidget(L[0], 0, 0);
    s->addWidget(APNE, 0, 1);
    s->addWidget(L[1], 1, 0);
    addressRow(s, 1, IpE);
    s->addWidget(L[2], 2, 0);
    s->addWidget(PortE, 2, 1, Qt::AlignLeft);
    s->addWidget(L[3], 3, 0);
    s->addWidget(UserE, 3, 1);
    s->addWidget(L[4], 4, 0);
    s->addWidget(PasswordE, 4, 1);
    s->addWidget(L[5], 5, 0);
    s->addWidget(APN2E, 5, 1);
    s->addWidget(L[6], 6, 0);
    addressRow(s, 6, Ip2E);
    s->addWidget(L[7], 7, 0);
    s->addWidget(Port2E, 7, 1, Qt::AlignLeft);
    tag55_ = {APN2E, Port2E, L[5], L[6], L[7]};
    for (QLineEdit* e : Ip2E) tag55_ << e;

    gbChiamanti = new QGroupBox(this);
    auto* cg = new QVBoxLayout(gbChiamanti);
    cg->addWidget(Tel1E);
    cg->addWidget(Tel2E);

    gbSupervisione = new QGroupBox(this);
    auto* sg = new QGridLayout(gbSupervisione);
    sg->addWidget(CBSupervi, 0, 0, 1, 2);
    sg->addWidget(L[8], 1, 0);
    sg->addWidget(TempoE, 1, 1);

    gbParametri = new QGroupBox(this);
    auto* pg = new QGridLayout(gbParametri);
    pg->addWidget(L[9], 0, 0);
    pg->addWidget(DNISE, 0, 1);
    pg->addWidget(L[11], 1, 0);
    pg->addWidget(Edit1, 1, 1);
    pg->addWidget(L[10], 2, 0);
    pg->addWidget(SIME, 2, 1);

    StaticText1 = NewStatusLabel(this);

    auto* right = new QVBoxLayout;
    right->addWidget(gbChiamanti);
    right->addWidget(gbSupervisione);
    right->addWidget(gbParametri);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(gbImpostazioni, 3, Qt::AlignTop);
    top->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addWidget(StaticText1);

    connect(APNE, &QLineEdit::textChanged, this, [this] { SecondReceiverRule(); });
    for (QLineEdit* e : IpE) connect(e, &QLineEdit::textChanged, this, [this] { SecondReceiverRule(); });
    connect(CBSupervi, &QCheckBox::clicked, this, [this] { CBSuperviClick(); });
}

void TfrmGPRS::SecondReceiverRule()
{
    bool address = false;
    for (QLineEdit* e : IpE) address = address || BoxValue(e, 255) != 0;
    const bool on = !APNE->text().isEmpty() && address;
    for (QWidget* w : tag55_) w->setEnabled(on);
}

void TfrmGPRS::ShowSupervision(bool on, int minutes)
{
    // A spin box shows its special text at its minimum, so "-" exists only
    // while supervision is off.
    TempoE->setSpecialValueText(on ? QString() : QStringLiteral("-"));
    TempoE->setMinimum(on ? 1 : 0);
    TempoE->setValue(on ? minutes : 0);
    TempoE->setEnabled(on);
}

void TfrmGPRS::CBSuperviClick()
{
    ShowSupervision(CBSupervi->isChecked(), 1);
}

void TfrmGPRS::FormShow()
{
    const int captions[12] = {508, 509, 510, 511, 512, 522, 523, 510, 520, 516, 515, 517};
    for (std::size_t i = 0; i < L.size(); ++i) L[i]->setText(Text(captions[i]));
    gbImpostazioni->setTitle(Text(507));
    gbChiamanti->setTitle(Text(513));
    gbSupervisione->setTitle(Text(518));
    gbParametri->setTitle(Text(514));
    CBSupervi->setText(Text(519));
    StaticText1->setText(Text(507));

    const Tag_GPRS& g = st.image.GPRS;
    APNE->setText(FromCp1252(g.APN.view()).left(32));
    APN2E->setText(FromCp1252(g.APN2.view()).left(32));
    Tel1E->setText(FromCp1252(g.CID1.view()));
    Tel2E->setText(FromCp1252(g.CID2.view()));
    CBSupervi->setChecked(g.SuperAttiva != 0);
    ShowSupervision(g.SuperAttiva != 0, std::clamp(g.Super / 60, 1, 999));
    for (std::size_t i = 0; i < 4; ++i) {
        IpE[i]->setText(QString::number(g.IP[i]));
        Ip2E[i]->setText(QString::number(g.IP2[i]));
    }
    PortE->setText(QString::number(g.Port));
    Port2E->setText(QString::number(g.Port2));
    // The DNIS is kept as twelve characters of which the page edits the last five.
    const QString dnis = FromCp1252(g.DNIS.view());
    DNISE->setText(dnis.right(5));
    SIME->setText(FromCp1252(g.SIM.view()));
    Edit1->setText(FromCp1252(g.Account.view()));
    UserE->setText(FromCp1252(g.UserName.view()).left(30));
    PasswordE->setText(FromCp1252(g.Pwd.view()).left(16));
    SecondReceiverRule();
}

void TfrmGPRS::FormClose()
{
    Tag_GPRS& g = st.image.GPRS;
    const bool second = APN2E->isEnabledTo(this);
    g.APN = ToCp1252(APNE->text());
    if (second) g.APN2 = ToCp1252(APN2E->text());
    if (!Tel1E->text().isEmpty() || !Tel2E->text().isEmpty()) {
        g.CIDPresente = 1;
        g.CID1 = ToCp1252(Tel1E->text());
        g.CID2 = ToCp1252(Tel2E->text());
    } else {
        g.CIDPresente = 0;
        g.CID1.clear();
        g.CID2.clear();
    }
    g.IP = APNE->text().isEmpty() ? std::array<std::uint8_t, 4>{} : Address(IpE);
    g.IP2 = second ? Address(Ip2E) : std::array<std::uint8_t, 4>{};
    g.SuperAttiva = CBSupervi->isChecked() ? 1 : 0;
    g.Super = CBSupervi->isChecked() ? std::min(TempoE->value(), 999) * 60 : 0;
    g.Port = BoxValue(PortE, 65535);
    g.Port2 = BoxValue(Port2E, 65535);
    g.DNIS = PadLeft(ToCp1252(DNISE->text()), 12, '0');
    g.SIM = ToCp1252(SIME->text());
    g.Account = PadLeft(ToCp1252(Edit1->text()), 10, '0');
    g.UserName = ToCp1252(UserE->text());
    g.Pwd = ToCp1252(PasswordE->text());
}

}  // namespace pelix
