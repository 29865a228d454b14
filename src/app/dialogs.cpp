#include "dialogs.h"

#include "app/formfit.h"
#include "common/paths.h"
#include "common/text.h"

#include <QButtonGroup>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstring>

namespace pelix {

// ---- port dialog ----

TfrmSerial::TfrmSerial(ProgramState& st, int currentPort, QWidget* parent) : QDialog(parent), st_(st)
{
    setWindowTitle(FromCp1252(st.Text(23)));
    RadioGroup1 = new QGroupBox(FromCp1252(st.Text(24)), this);
    items = new QButtonGroup(this);
    auto* radios = new QVBoxLayout(RadioGroup1);
    for (int n = 1; n <= 4; ++n) {
        auto* r = new QRadioButton(QStringLiteral("COM %1").arg(n), RadioGroup1);
        items->addButton(r, n);
        radios->addWidget(r);
    }
    if (QAbstractButton* b = items->button(currentPort)) b->setChecked(true);
    BitBtn1 = new QPushButton(FromCp1252(st.Text(94)), this);
    BitBtn2 = new QPushButton(FromCp1252(st.Text(97)), this);
    BitBtn1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSerial::BitBtn1Click()
{
    const int port = items->checkedId();
    if (port >= 1) {
        st_.settings.LocalPort = port;
        if (st_.store) SaveSettings(*st_.store, st_.settings, SettingsGroup::Port);
    }
    ShowMsg(*st_.feedback, st_.Text(139), MsgType::Information);
    accept();
}

// ---- language choice ----

namespace {
QString& ChoiceFolder()
{
    static QString folder;
    return folder;
}
}  // namespace

void SetLanguageFolderForChoice(const QString& folder) { ChoiceFolder() = folder; }

extern "C" void DoSceltaLingua(const char* /*settingsFile*/, char* buffer, const char* title)
{
    if (!buffer) return;
    const QString current = FromCp1252(TrimSpaces(std::string_view(buffer, strnlen(buffer, 255))));
    QDialog dlg;
    dlg.setWindowTitle(title ? FromCp1252(title) : QString());
    auto* list = new QListWidget(&dlg);
    const QStringList folders =
        QDir(ResolveNoCase(ChoiceFolder())).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    list->addItems(folders);
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().compare(current, Qt::CaseInsensitive) == 0) list->setCurrentRow(i);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(list);
    layout->addWidget(box);
    if (dlg.exec() != QDialog::Accepted || !list->currentItem()) return;
    const std::string chosen = ToCp1252(list->currentItem()->text()).substr(0, 255);
    std::memcpy(buffer, chosen.c_str(), chosen.size() + 1);
}

bool ChooseLanguage(ProgramState& st, LanguageChooser chooser)
{
    SetLanguageFolderForChoice(st.folders.language);
    std::string buffer = PadRight(ToCp1252(st.settings.Language), 255, ' ');
    buffer.resize(256, '\0');
    const std::string title = StripAccel(st.Text(58));
    chooser("PELIX.INI", buffer.data(), title.c_str());
    buffer.back() = '\0';  // whatever the chooser did, the text ends inside the buffer
    const QString chosen = FromCp1252(TrimSpaces(std::string_view(buffer.c_str())));
    if (chosen.isEmpty()) return false;
    const bool changed = chosen != st.settings.Language;
    st.settings.Language = chosen;
    if (st.store) SaveSettings(*st.store, st.settings, SettingsGroup::Language);
    ReloadLanguage(st);
    return changed;
}

// ---- start page ----

namespace {

QPixmap LogoPicture()
{
    QPixmap p(281, 52);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient grad(0, 0, 281, 0);
    grad.setColorAt(0, QColor(20, 60, 120));
    grad.setColorAt(1, QColor(60, 120, 190));
    g.setBrush(grad);
    g.setPen(Qt::NoPen);
    g.drawRoundedRect(QRectF(0, 0, 281, 52), 6, 6);
    QFont f = g.font();
    f.setPixelSize(26);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(QRect(0, 0, 281, 52), Qt::AlignCenter, QStringLiteral("PELIX"));
    return p;
}

}  // namespace

TfrmLogo::TfrmLogo(PageContext& c, QWidget* owner) : TPageForm(c, owner)
{
    Panel1 = new QWidget(this);
    Panel1->setAutoFillBackground(true);
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    Panel1->setPalette(pal);
    Panel1->resize(420, 300);
    Panel2 = new QFrame(Panel1);
    static_cast<QFrame*>(Panel2)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image3 = new QLabel(Panel2);
    Image3->setPixmap(LogoPicture());
    Image3->setAlignment(Qt::AlignCenter);
    auto* inner = new QVBoxLayout(Panel2);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(Image3);
    for (QLabel** l : {&Label3, &Label4, &Label5}) {
        *l = new QLabel(Panel1);
        QFont f = (*l)->font();
        f.setBold(true);
        (*l)->setFont(f);
        (*l)->setFixedWidth(225);
        (*l)->setAlignment(Qt::AlignCenter);
    }
    Label5->setTextFormat(Qt::RichText);
    Label5->setCursor(Qt::PointingHandCursor);
    connect(Label5, &QLabel::linkActivated, this,
            [](const QString& url) { QDesktopServices::openUrl(QUrl::fromUserInput(url)); });
}

void TfrmLogo::FormShow()
{
    Label3->setText(FromCp1252(st.custom.Firm));
    Label4->setText(QStringLiteral("V. 1.0 Test24"));
    const QString web = FromCp1252(st.custom.AddressWeb).toHtmlEscaped();
    Label5->setText(web.isEmpty() ? QString()
                                  : QStringLiteral("<a style=\"color:navy\" href=\"%1\">%1</a>").arg(web));
    Place();
}

void TfrmLogo::resizeEvent(QResizeEvent* e)
{
    TPageForm::resizeEvent(e);
    Place();
}

void TfrmLogo::Place()
{
    Panel2->setGeometry((Panel1->width() - 289) / 2, (Panel1->height() - 60) / 2 - 50, 289, 60);
    int top = Panel2->y() + Panel2->height() + 10;
    for (QLabel* l : {Label3, Label4, Label5}) {
        l->adjustSize();
        l->setFixedWidth(225);
        l->move((Panel1->width() - 225) / 2, top);
        top += l->height();
    }
    CenterPanelX(this, Panel1);
    CenterPanelY(this, Panel1);
}

}  // namespace pelix
