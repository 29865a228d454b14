#include "mainwindow.h"

#include "app/cliente.h"
#include "app/dialogs.h"
#include "app/imagelists.h"
#include "app/remotedlg.h"
#include "common/paths.h"
#include "link/devicecommands.h"
#include "common/text.h"
#include "model/imageinit.h"
#include "pages/codinst.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pelix {

namespace {

constexpr int kMaxListed = 32000;
constexpr int kStatusBusyText = 161;

}  // namespace

ModelProfile ProfileOf(int model)
{
    ModelProfile p;
    const TreeNode telefono{PageKind::Telefono, 109, 1};
    const TreeNode uscite{PageKind::Uscite, 112, 4};
    switch (model) {
    case kModelG:
        p.nodes = {telefono,
                   {PageKind::SmsPELIXG, 111, 3},
                   uscite,
                   {PageKind::ComDigPELIXG, 203, 7},
                   {PageKind::GPRS, 0, 7},
                   {PageKind::Chiamate, 113, 5},
                   {PageKind::StatoPELIXG, 114, 6}};
        break;
    case kModelA:
        p.phoneEntries = 8;
        p.remoteProgramming = false;
        p.nodes = {telefono, {PageKind::AvvTel, 110, 2}, {PageKind::Sms, 111, 3}, uscite, {PageKind::Chiamate, 113, 5},
                   {PageKind::Stato, 114, 6}};
        break;
    default:
        p.nodes = {telefono, {PageKind::Sms, 111, 3}, uscite, {PageKind::ComDig, 203, 7}, {PageKind::Chiamate, 113, 5},
                   {PageKind::Stato, 114, 6}};
        break;
    }
    return p;
}

// ---- display ----

LcdDisplay::LcdDisplay(QWidget* parent) : QWidget(parent) { setMinimumHeight(76); }

void LcdDisplay::SetLine(int line, const QString& text)
{
    if (line < 1 || line > 4) return;
    lines_[static_cast<std::size_t>(line - 1)] = text;
    update();
}

QString LcdDisplay::Line(int line) const
{
    return line >= 1 && line <= 4 ? lines_[static_cast<std::size_t>(line - 1)] : QString();
}

void LcdDisplay::SetPicture(const QPixmap& p)
{
    picture_ = p;
    update();
}

void LcdDisplay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(150, 180, 110));
    p.setPen(QColor(30, 45, 20));
    QFont f(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(12);
    p.setFont(f);
    const int lineHeight = (height() - 4) / 4;
    for (int i = 0; i < 4; ++i)
        p.drawText(QRect(4, 2 + i * lineHeight, width() - 40, lineHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   lines_[static_cast<std::size_t>(i)]);
    if (!picture_.isNull()) p.drawPixmap(width() - picture_.width() - 4, 4, picture_);
}

// ---- window ----

TfrmMain::TfrmMain(ProgramState& st, pelix::Feedback& fb, CustomerDatabase& db, QWidget* parent)
    : QMainWindow(parent), st_(st), fb_(fb), db_(db), ctx_{st, fb, &port_}
{
    BuildComponents();
    prog_ = new TfrmProg(this);
    if (auto* qt = dynamic_cast<QtFeedback*>(&fb_)) {
        qt->SetParent(this);
        qt->SetProgressWindow(prog_);
    }
    if (st_.store) PortLoadSettings(port_, st_.settings.LocalPort, *st_.store);
    monitor_ = std::make_unique<ModemMonitor>(port_, modemInfo_, st_);
    ctx_.monitor = monitor_.get();
    monitor_->onCycle = [this] { QMetaObject::invokeMethod(this, [this] { DisplayStep(); }, Qt::QueuedConnection); };
    monitor_->onMessage = [this](const std::string& text) {
        QMetaObject::invokeMethod(this, [this, text] { ShowMsg(fb_, text, MsgType::Warning); }, Qt::QueuedConnection);
    };
    BuildMenus();
    host_ = std::make_unique<PageHost>(ctx_, Panel3);
    resize(1024, 700);  // the size to come back to from maximised
}

void TfrmMain::mCaricaClick()
{
    // Every page writes its edits back before the image is replaced.
    SelectRoot();
    LinkContext link = MakeLinkContext();
    ReadDeviceCommand(link, monitor_.get());
    UpdateCaption();
}

LinkContext TfrmMain::MakeLinkContext(Feedback* fb)
{
    LinkContext link(port_, modemInfo_, st_, fb ? *fb : fb_);
    link.charTimeout = charTimeout_;
    link.secondMs = secondMs_;
    return link;
}

void TfrmMain::SetLinkTimeouts(double charTimeout, int secondMs)
{
    charTimeout_ = charTimeout;
    secondMs_ = secondMs;
    monitor_->charTimeout = charTimeout;
    monitor_->secondMs = secondMs;
}

void TfrmMain::remota1Click()
{
    SelectRoot();
    try {
        TfrmProgRemota dlg(*this, db_, this);
        dlg.exec();
    } catch (const std::exception& e) {
        ShowError(e);
    }
}

void TfrmMain::mInviaClick()
{
    SelectRoot();
    LinkContext link = MakeLinkContext();
    WriteDeviceCommand(link, monitor_.get());
}

TfrmMain::~TfrmMain()
{
    if (auto* qt = dynamic_cast<QtFeedback*>(&fb_)) {
        qt->SetParent(nullptr);
        qt->SetProgressWindow(nullptr);
    }
    st_.flags.closing = true;
    monitor_.reset();  // joins the worker
    if (port_.isOpen()) PortClose(port_);
    host_.reset();
}

void TfrmMain::BuildComponents()
{
    ToolBar1 = addToolBar(QString());
    ToolBar1->setMovable(false);
    ToolButton1 = new QToolButton(ToolBar1);
    ToolButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->addWidget(ToolButton1);
    connect(ToolButton1, &QToolButton::clicked, this, [this] { ToolButton1Click(); });

    auto* central = new QWidget(this);
    auto* h = new QHBoxLayout(central);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);

    Panel1 = new QWidget(central);
    Panel1->setMinimumWidth(10);
    auto* left = new QVBoxLayout(Panel1);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);

    auto header = [](QWidget* parent, QLabel*& label, QToolButton*& close) {
        auto* bar = new QWidget(parent);
        auto* l = new QHBoxLayout(bar);
        l->setContentsMargins(4, 1, 1, 1);
        label = new QLabel(bar);
        close = new QToolButton(bar);
        close->setAutoRaise(true);
        close->setText(QStringLiteral("x"));
        l->addWidget(label, 1);
        l->addWidget(close);
        bar->setAutoFillBackground(true);
        bar->setBackgroundRole(QPalette::Mid);
        return bar;
    };

    panel_O = new QWidget(Panel1);
    auto* o = new QVBoxLayout(panel_O);
    o->setContentsMargins(0, 0, 0, 0);
    o->setSpacing(0);
    QWidget* folderHeader = header(panel_O, Panel6, SpeedButton1);
    sbSpillo = new QToolButton(folderHeader);
    sbSpillo->setAutoRaise(true);
    sbSpillo->setText(QStringLiteral("\u2693"));
    sbSpillo->hide();
    folderHeader->layout()->addWidget(sbSpillo);
    tvPanel = new QTreeWidget(panel_O);
    tvPanel->setHeaderHidden(true);
    tvPanel->setRootIsDecorated(false);
    tvPanel->setIndentation(8);
    tvPanel->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvPanel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvPanel->installEventFilter(this);
    o->addWidget(folderHeader);
    o->addWidget(tvPanel, 1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { ChiudiPanel(1); });
    connect(sbSpillo, &QToolButton::clicked, this, [this] { ChiudiPanel(3); });
    connect(tvPanel, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* cur, QTreeWidgetItem* prev) { tvPanelChange(cur, prev); });

    panel_c = new QWidget(Panel1);
    auto* c = new QVBoxLayout(panel_c);
    c->setContentsMargins(0, 0, 0, 0);
    c->setSpacing(0);
    QWidget* customerHeader = header(panel_c, Panel4, SpeedButton2);
    lvClienti = new QTreeWidget(panel_c);
    lvClienti->setColumnCount(2);
    lvClienti->setRootIsDecorated(false);
    lvClienti->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvClienti->setSelectionMode(QAbstractItemView::SingleSelection);
    lvClienti->header()->setSectionsClickable(true);
    lvClienti->setColumnWidth(0, 130);
    // The code column fills the rest. Stretching never makes a column narrower
    // than it was, so it starts narrow: at its default width it would overflow
    // the panel and bring a horizontal scroll bar.
    lvClienti->setColumnWidth(1, 40);
    lvClienti->header()->setStretchLastSection(true);
    lvClienti->setContextMenuPolicy(Qt::CustomContextMenu);
    lvClienti->viewport()->setCursor(Qt::PointingHandCursor);
    lvClienti->installEventFilter(this);
    c->addWidget(customerHeader);
    c->addWidget(lvClienti, 1);
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { ChiudiPanel(2); });
    connect(lvClienti->header(), &QHeaderView::sectionClicked, this,
            [this](int col) { LoadCustomerList(col == 1 ? QStringLiteral("CodiceCliente") : QStringLiteral("Nome")); });
    connect(lvClienti, &QTreeWidget::itemDoubleClicked, this, [this] {
        SelectRoot();
        LoadSelectedCustomer();
    });
    connect(lvClienti, &QTreeWidget::itemSelectionChanged, this, [this] {
        const auto sel = lvClienti->selectedItems();
        if (!sel.isEmpty()) lvClienti->setToolTip(sel.front()->toolTip(0));
    });
    connect(lvClienti, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(FromCp1252(st_.Text(20)).remove(u'&'), this, [this] { LoadSelectedCustomer(); });
        menu.addAction(FromCp1252(st_.Text(57)).remove(u'&'), this, [this] { DeleteSelectedCustomer(); });
        menu.exec(lvClienti->viewport()->mapToGlobal(at));
    });

    Splitter2 = new QSplitter(Qt::Vertical, Panel1);
    Splitter2->addWidget(panel_O);
    Splitter2->addWidget(panel_c);
    Splitter2->setChildrenCollapsible(false);
    left->addWidget(Splitter2, 1);

    Panel2 = new QWidget(Panel1);
    auto* d = new QVBoxLayout(Panel2);
    d->setContentsMargins(0, 0, 0, 0);
    lcd = new LcdDisplay(Panel2);
    d->addWidget(lcd);
    left->addWidget(Panel2);
    Panel2->hide();

    Panel3 = new QWidget(central);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    h->addWidget(Panel1);
    h->addWidget(Panel3, 1);
    Panel1->setFixedWidth(designPanelWidth_);
    setCentralWidget(central);
}

void TfrmMain::BuildMenus()
{
    mFile1 = menuBar()->addMenu(QString());
    mInit1 = mFile1->addAction(QString(), this, [this] { mInit1Click(true); });
    mSave1 = mFile1->addAction(QString(), this, [this] { mSave1Click(); });
    mEsci1 = mFile1->addAction(QString(), this, &QWidget::close);

    mProgrammazione = menuBar()->addMenu(QString());
    mCarica = mProgrammazione->addAction(QString(), this, [this] { mCaricaClick(); });
    mInvia = mProgrammazione->addAction(QString(), this, [this] { mInviaClick(); });
    remota1 = mProgrammazione->addAction(QString(), this, [this] { remota1Click(); });

    mImpostazioni1 = menuBar()->addMenu(QString());
    mLayout = mImpostazioni1->addMenu(QString());
    mClienti1 = mLayout->addAction(QString(), this, [this] { mClienti1Click(); });
    mClienti1->setCheckable(true);
    mClienti1->setChecked(true);
    mClienti1->setShortcut(Qt::Key_F9);
    mCartelle = mLayout->addAction(QString(), this, [this] { mCartelleClick(); });
    mCartelle->setCheckable(true);
    mCartelle->setChecked(true);
    ShortCut1 = new QAction(this);  // hidden: F10 acts as the tool button
    ShortCut1->setShortcut(Qt::Key_F10);
    addAction(ShortCut1);
    connect(ShortCut1, &QAction::triggered, this, [this] { ToolButton1Click(); });
    Porteseriali1 = mImpostazioni1->addAction(QString(), this, [this] { Porteseriali1Click(); });
    lingua1 = mImpostazioni1->addAction(QString(), this, [this] { lingua1Click(); });
    impostazioni1 = mImpostazioni1->addAction(QString(), this, [this] { impostazioni1Click(); });
}

void TfrmMain::FormShow()
{
    ReloadLanguage(st_);
    BusyScope busy(fb_);
    ApplyCaptions();
    MonitorSwitch(true);
    autoHide_ = false;
    designFolderHeight_ = 250;
    db_.SetTableLocations();
    InitImage(st_, st_.image, true);
    ApplyModelProfile();
    st_.reference = st_.image;
    LoadCustomerList(QStringLiteral("Nome"));
    SelectRoot();
    if (!st_.settings.Show2) {
        mClienti1->setChecked(false);
        ScopriNascondiPanel(2);
    }
    if (st_.settings.Show3 >= 0) {
        designFolderHeight_ = st_.settings.Show3;
        Splitter2->setSizes({designFolderHeight_, std::max(10, height() - designFolderHeight_)});
    }
    if (!st_.settings.Show1) ChiudiPanel(1);
    UpdateCaption();
}

void TfrmMain::ApplyCaptions()
{
    auto text = [this](int n) { return FromCp1252(st_.Text(n)); };
    mFile1->setTitle(text(1));
    mInit1->setText(text(2));
    mSave1->setText(text(3));
    mEsci1->setText(text(4));
    mImpostazioni1->setTitle(text(5));
    mLayout->setTitle(text(6));
    mCartelle->setText(text(7));
    mClienti1->setText(text(8));
    mProgrammazione->setTitle(text(19));
    mCarica->setText(text(20));
    mInvia->setText(text(21));
    lingua1->setText(text(58));
    Porteseriali1->setText(text(23));
    impostazioni1->setText(text(165));
    remota1->setText(text(248));
    Panel6->setText(mCartelle->text().remove(u'&'));
    Panel4->setText(mClienti1->text().remove(u'&'));
    lvClienti->setHeaderLabels({text(13), text(14)});
    lcd->SetLine(2, text(159));
    lcd->SetLine(3, text(160));
    UpdateCaption();
}

void TfrmMain::ApplyModelProfile()
{
    profile_ = ProfileOf(st_.Model());
    remota1->setEnabled(profile_.remoteProgramming);
    Panel2->setVisible(st_.Model() == kModelA);
    BuildTree();
}

void TfrmMain::BuildTree()
{
    setUpdatesEnabled(false);
    treeGuard_ = true;
    tvPanel->clear();
    auto* root = new QTreeWidgetItem(tvPanel, {FromCp1252(st_.modelNames[static_cast<std::size_t>(st_.Model())])});
    root->setIcon(0, ImageLists::TreeImage(8));
    for (const TreeNode& n : profile_.nodes) {
        auto* item = new QTreeWidgetItem(root, {n.text ? FromCp1252(st_.Text(n.text)) : QStringLiteral("GPRS")});
        item->setIcon(0, ImageLists::TreeImage(n.image));
    }
    tvPanel->expandAll();
    treeGuard_ = false;
    setUpdatesEnabled(true);
    // The tree is new: whatever page was open belongs to the old one.
    if (host_ && host_->Current() && !host_->CloseCurrent()) return;
    SelectRoot();
    if (host_ && !host_->Current()) OpenNode(0);
}

void TfrmMain::SelectRoot()
{
    if (QTreeWidgetItem* root = tvPanel->topLevelItem(0)) tvPanel->setCurrentItem(root);
}

void TfrmMain::tvPanelChange(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (treeGuard_ || st_.flags.selectionGuard || !current) return;
    const int index = current->parent() ? current->parent()->indexOfChild(current) + 1 : 0;
    if (index == host_->CurrentNode() && host_->Current()) {
        if (autoHide_) ScopriNascondiPanel(1);
        return;
    }
    // The status page may not be left while it talks to the device.
    const int cur = host_->CurrentNode();
    const bool onStatus = cur >= 1 && cur <= static_cast<int>(profile_.nodes.size()) &&
                          (profile_.nodes[static_cast<std::size_t>(cur - 1)].kind == PageKind::Stato ||
                           profile_.nodes[static_cast<std::size_t>(cur - 1)].kind == PageKind::StatoPELIXG);
    if (onStatus && st_.flags.statusBusy) {
        ShowMsg(fb_, st_.Text(kStatusBusyText), MsgType::Warning);
        treeGuard_ = true;
        tvPanel->setCurrentItem(previous);
        treeGuard_ = false;
        return;
    }
    OpenNode(index);
}

void TfrmMain::OpenNode(int index)
{
    if (autoHide_ && Panel1->isVisible()) ScopriNascondiPanel(1);
    setUpdatesEnabled(false);
    try {
        PageFactory factory = [](PageContext& c, QWidget* owner) -> TPageForm* { return new TfrmLogo(c, owner); };
        if (index >= 1 && index <= static_cast<int>(profile_.nodes.size()))
            if (const PageFactory* registered = FindPage(profile_.nodes[static_cast<std::size_t>(index - 1)].kind))
                factory = *registered;
        const int before = host_->CurrentNode();
        if (!host_->Open(index, factory)) {
            // The open page refused to close: keep its node selected.
            treeGuard_ = true;
            QTreeWidgetItem* root = tvPanel->topLevelItem(0);
            tvPanel->setCurrentItem(before <= 0 ? root : root->child(before - 1));
            treeGuard_ = false;
        }
    } catch (const std::exception& e) {
        ShowError(e);
    }
    setUpdatesEnabled(true);
    if (QTreeWidgetItem* item = tvPanel->currentItem()) {
        ToolBar1->setWindowTitle(item->text(0));
        ToolButton1->setText(item->text(0));
        ToolButton1->setIcon(item->icon(0));
    }
}

void TfrmMain::UpdateCaption()
{
    QString caption = FromCp1252(st_.modelNames[static_cast<std::size_t>(st_.Model())]);
    if (!st_.cliente.Nome.empty()) caption += QStringLiteral(" - ") + FromCp1252(st_.cliente.Nome.view());
    setWindowTitle(caption);
    if (QTreeWidgetItem* item = tvPanel->currentItem()) ToolButton1->setText(item->text(0));
}

void TfrmMain::LoadCustomerList(const QString& indexField)
{
    if (!db_.IsOpen()) return;
    listOrder_ = indexField.isEmpty() ? QStringLiteral("Nome") : indexField;
    serials_.clear();
    hints_.clear();
    lvClienti->clear();
    std::vector<CustomerListEntry> rows;
    db_.ListCustomers(rows, listOrder_);  // an error is shown there; what was read stays listed
    QList<QTreeWidgetItem*> items;
    for (const auto& r : rows) {
        if (r.TipoCentrale != kModelG && r.TipoCentrale != kModelA && r.TipoCentrale != kModelI) continue;
        if (static_cast<int>(serials_.size()) >= kMaxListed) {
            ShowMsg(fb_, "Customer counter exceed maximum allowed (32000)", MsgType::Information);
            break;
        }
        auto* item = new QTreeWidgetItem({FromCp1252(r.Nome), FromCp1252(r.CodiceCliente)});
        const QString hint = FromCp1252(r.Nome) + u'\n' +
                             FromCp1252(st_.modelNames[static_cast<std::size_t>(r.TipoCentrale)]) +
                             QStringLiteral("\n:") + FromCp1252(r.Comune) + QStringLiteral("\n:") +
                             FromCp1252(r.Rel_firmware);
        item->setToolTip(0, hint);
        item->setToolTip(1, hint);
        hints_ << hint;
        serials_.push_back(r.SerialCli);
        items << item;
    }
    lvClienti->addTopLevelItems(items);
}

bool TfrmMain::lvClientiKeyPress(const QString& typed)
{
    if (typed.isEmpty() || !typed[0].isPrint()) return false;
    QTreeWidgetItem* sel = lvClienti->currentItem();
    if (!sel || !sel->isSelected()) return true;
    const int count = lvClienti->topLevelItemCount();
    const int from = lvClienti->indexOfTopLevelItem(sel);
    for (int k = 1; k <= count; ++k) {
        QTreeWidgetItem* item = lvClienti->topLevelItem((from + k) % count);
        if (item->text(0).startsWith(typed[0], Qt::CaseInsensitive)) {
            lvClienti->setCurrentItem(item);
            item->setSelected(true);
            return true;
        }
    }
    lvClienti->clearSelection();
    return true;
}

void TfrmMain::LoadSelectedCustomer()
{
    if (st_.flags.statusBusy || st_.flags.progress) return;
    BusyScope busy(fb_);
    const int before = st_.Model();
    QTreeWidgetItem* item = lvClienti->currentItem();
    if (item && item->isSelected()) {
        const int pos = lvClienti->indexOfTopLevelItem(item);
        mInit1Click(false);
        if (pos >= 0 && pos < static_cast<int>(serials_.size()) && db_.LoadCustomer(serials_[static_cast<std::size_t>(pos)])) {
            ReloadLanguage(st_);
            if (st_.Model() != before) ApplyCaptions();
            ApplyModelProfile();
            if (st_.Model() != before) MonitorSwitch(false);
            st_.reference = st_.image;
            UpdateCaption();
        }
    }
    QCoreApplication::processEvents();
}

void TfrmMain::DeleteSelectedCustomer()
{
    QTreeWidgetItem* item = lvClienti->currentItem();
    if (!item || !item->isSelected()) return;
    const int pos = lvClienti->indexOfTopLevelItem(item);
    const std::string question = st_.Text(131) + "\r" + ToCp1252(item->text(0)) + " ?";
    if (ShowMsg(fb_, question, MsgType::Warning, MsgButtons::YesNo) != MsgAnswer::Yes) return;
    if (pos >= 0 && pos < static_cast<int>(serials_.size())) db_.DeleteCustomer(serials_[static_cast<std::size_t>(pos)]);
    LoadCustomerList(listOrder_);
}

void TfrmMain::mInit1Click(bool fromMenu)
{
    if (st_.flags.statusBusy) return;
    SelectRoot();
    if (!ImageUnchanged(st_, st_.image) &&
        ShowMsg(fb_, st_.Text(126), MsgType::Confirmation, MsgButtons::YesNo) == MsgAnswer::Yes)
        mSave1Click(true);
    if (fromMenu) {
        try {
            const int before = st_.Model();
            TfrmCodInst dlg(st_, this);
            if (dlg.exec() == QDialog::Accepted && st_.Model() != before) {
                ReloadLanguage(st_);
                ApplyCaptions();
                MonitorSwitch(false);
            }
        } catch (const std::exception& e) {
            ShowError(e);
        }
    }
    InitImage(st_, st_.image, true);
    ApplyModelProfile();
    st_.reference = st_.image;
    UpdateCaption();
}

void TfrmMain::mSave1Click(bool fromInit)
{
    if (st_.flags.statusBusy) return;
    if (!fromInit) SelectRoot();
    try {
        TfrmCliente dlg(st_, db_, this);
        if (dlg.exec() == QDialog::Accepted) {
            st_.reference = st_.image;
            LoadCustomerList(QStringLiteral("Nome"));
            UpdateCaption();
        }
    } catch (const std::exception& e) {
        ShowError(e);
    }
}

void TfrmMain::impostazioni1Click()
{
    try {
        SelectRoot();
        const std::uint8_t before = st_.cliente.TipoCentrale;
        TfrmCodInst dlg(st_, this);
        if (dlg.exec() == QDialog::Accepted && st_.Model() != before) {
            // A new model starts a new image: offer to save the edits first, as
            // the customer they belong to (the old model).
            if (!ImageUnchanged(st_, st_.image)) {
                const std::uint8_t chosen = st_.cliente.TipoCentrale;
                st_.cliente.TipoCentrale = before;
                if (ShowMsg(fb_, st_.Text(126), MsgType::Confirmation, MsgButtons::YesNo) == MsgAnswer::Yes)
                    mSave1Click(true);
                st_.cliente.TipoCentrale = chosen;
            }
            ReloadLanguage(st_);
            ApplyCaptions();
            InitImage(st_, st_.image, true);
            st_.reference = st_.image;
            MonitorSwitch(false);
            ApplyModelProfile();
        }
    } catch (const std::exception& e) {
        ShowError(e);
    }
    SelectRoot();
    UpdateCaption();
}

void TfrmMain::Porteseriali1Click()
{
    try {
        TfrmSerial dlg(st_, st_.settings.LocalPort, this);
        dlg.exec();
    } catch (const std::exception& e) {
        ShowError(e);
    }
}

void TfrmMain::lingua1Click()
{
    ChooseLanguage(st_);
    ApplyCaptions();
    BuildTree();
    SelectRoot();
}

void TfrmMain::mClienti1Click() { ScopriNascondiPanel(2); }

void TfrmMain::mCartelleClick() { ChiudiPanel(mCartelle->isChecked() ? 3 : 1); }

void TfrmMain::ChiudiPanel(int tag)
{
    switch (tag) {
    case 1: {
        mCartelle->setChecked(false);
        Panel6->setText(FromCp1252(st_.Text(125)));
        QFont f = Panel6->font();
        f.setPointSize(6);
        Panel6->setFont(f);
        SpeedButton1->hide();
        sbSpillo->show();
        break;
    }
    case 3:
        mCartelle->setChecked(true);
        autoHide_ = false;
        ToolButton1->setPopupMode(QToolButton::DelayedPopup);
        SpeedButton1->show();
        sbSpillo->hide();
        Panel6->setFont(font());
        Panel6->setText(mCartelle->text().remove(u'&'));
        break;
    case 2:
        mClienti1->setChecked(false);
        break;
    default: break;
    }
    ScopriNascondiPanel(tag);
}

void TfrmMain::ScopriNascondiPanel(int tag)
{
    const bool folders = mCartelle->isChecked() && !autoHide_;
    const bool customers = mClienti1->isChecked();
    if (folders || customers) Panel1->show();
    if (tag == 1 || tag == 3 || tag == 255) panel_O->setVisible(folders);
    if (tag == 2) panel_c->setVisible(customers);
    if (!panel_O->isHidden()) {
        if (!panel_c->isHidden())
            Splitter2->setSizes({designFolderHeight_, std::max(10, Splitter2->height() - designFolderHeight_)});
        return;
    }
    // The folder panel is closed: it pops up on demand from the tool button.
    if (panel_c->isHidden()) Panel1->hide();
    ToolButton1->setPopupMode(QToolButton::MenuButtonPopup);
    autoHide_ = true;
}

void TfrmMain::ToolButton1Click()
{
    if (!autoHide_) return;
    // Pop the folder panel up over the page until the user picks a node or leaves the tree.
    Panel1->show();
    panel_O->show();
    Panel1->raise();
    tvPanel->setFocus();
}

bool TfrmMain::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == lvClienti && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!k->text().isEmpty() && k->text()[0].isLetterOrNumber()) return lvClientiKeyPress(k->text());
    }
    if (obj == tvPanel && e->type() == QEvent::FocusOut && autoHide_) ScopriNascondiPanel(1);
    return QMainWindow::eventFilter(obj, e);
}

bool TfrmMain::FormCloseQuery()
{
    if (st_.flags.statusBusy) {
        ShowMsg(fb_, st_.Text(kStatusBusyText), MsgType::Warning);
        return false;
    }
    SelectRoot();
    if (!ImageUnchanged(st_, st_.image)) {
        const MsgAnswer a = ShowMsg(fb_, st_.Text(126), MsgType::Confirmation, MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Cancel || a == MsgAnswer::None) return false;
        if (a == MsgAnswer::Yes) mSave1Click(true);
    }
    setEnabled(false);
    st_.flags.closing = true;
    QCoreApplication::processEvents();
    // A worker that does not end in time ends by itself: it closes the port as it goes.
    monitor_->Stop([] { QCoreApplication::processEvents(); });
    return true;
}

void TfrmMain::FormClose()
{
    host_->CloseCurrent();
    st_.settings.Show1 = mCartelle->isChecked();
    st_.settings.Show2 = mClienti1->isChecked();
    st_.settings.Show3 = panel_O->height();
    if (st_.store) {
        SaveSettings(*st_.store, st_.settings, SettingsGroup::Language);
        SaveSettings(*st_.store, st_.settings, SettingsGroup::Layout);
    }
}

void TfrmMain::closeEvent(QCloseEvent* e)
{
    if (closing_) {
        e->accept();
        return;
    }
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    closing_ = true;
    FormClose();
    e->accept();
}

void TfrmMain::ShowError(const std::exception& e) { ShowMsg(fb_, e.what(), MsgType::Warning); }

void TfrmMain::MonitorSwitch(bool keep)
{
    BusyScope busy(fb_);
    if (st_.Model() == kModelA) {
        if (PortEnsureOpen(port_, fb_, st_.Text(119))) {
            monitor_->Start();
        } else {
            lcd->SetLine(2, FromCp1252(st_.Text(162)));
            lcd->SetLine(3, FromCp1252(st_.Text(163)));
        }
        Panel2->show();
        return;
    }
    if (!keep) {
        try {
            monitor_->Stop([] { QCoreApplication::processEvents(); });
        } catch (const std::exception& e) {
            ShowError(e);
        }
    }
    Panel2->hide();
}

bool TfrmMain::PauseMonitor()
{
    return monitor_->Pause([] { QCoreApplication::processEvents(); });
}

void TfrmMain::ResumeMonitor() { monitor_->Resume(); }

void TfrmMain::DisplayStep()
{
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    const MonitorDisplay d = MonitorDisplayStep(monitor_->Last(), st_.texts, ToCp1252(lcd->Line(2)));
    if (d.bitmap == 0) lcd->SetPicture(QPixmap());
    if (d.bitmap > 0) {
        const QString file = ResolveNoCase(JoinPath(st_.folders.bitmap, QStringLiteral("lcd/lcd-sign%1.bmp").arg(d.bitmap)));
        lcd->SetPicture(QPixmap(file));  // a picture that cannot be loaded clears it
    }
    if (d.setLine2) lcd->SetLine(2, FromCp1252(d.line2));
    if (d.setLine3) lcd->SetLine(3, FromCp1252(d.line3));
    if (d.devicePresent >= 0) st_.flags.devicePresent = d.devicePresent == 1;
}

}  // namespace pelix
