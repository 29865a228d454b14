#include "codinst.h"

#include "common/text.h"
#include "pages/pagehelpers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace pelix {

namespace {
constexpr int kModelOrder[3] = {kModelA, kModelI, kModelG};
}

QStringList TfrmCodInst::ReleaseItems(int model)
{
    QList<double> releases;
    switch (model) {
    case kModelA: releases = {1.0, 1.1}; break;
    case kModelI: releases = {1.0}; break;
    case kModelG: releases = {2.1, 3.1}; break;
    default: break;
    }
    QStringList items;
    for (double r : releases) items << QString::number(r, 'f', 2).left(3) + u'x';
    return items;
}

TfrmCodInst::TfrmCodInst(ProgramState& st, QWidget* parent) : QDialog(parent), st_(st)
{
    auto* bar = new QToolBar(this);
    tbOk = new QToolButton(this);
    tbCancel = new QToolButton(this);
    tbHelp = new QToolButton(this);
    for (QToolButton* b : {tbOk, tbCancel, tbHelp}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addWidget(b);
    }
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    cbPanel = new QComboBox(this);
    cbFirmware = new QComboBox(this);
    TimeOutSpin = new QSpinBox(this);
    TimeOutSpin->setRange(100, 400);
    TimeOutSpin->setSingleStep(10);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cbPanel, 0, 1, 1, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(cbFirmware, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Timeout"), this), 2, 0);
    grid->addWidget(TimeOutSpin, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("ms"), this), 2, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addLayout(grid);

    connect(cbPanel, &QComboBox::currentIndexChanged, this, [this] { cbPanelChange(); });
    connect(tbOk, &QToolButton::clicked, this, [this] { tbOkClick(); });
    connect(tbCancel, &QToolButton::clicked, this, &QDialog::reject);
}

void TfrmCodInst::showEvent(QShowEvent* e)
{
    FormShow();
    QDialog::showEvent(e);
}

int TfrmCodInst::PanelIndex(int model) const
{
    const std::string& name = st_.modelNames[static_cast<std::size_t>(model)];
    if (name.empty()) return -1;
    QStringList items;
    for (int i = 0; i < cbPanel->count(); ++i) items << cbPanel->itemText(i);
    return IndexOfItem(FromCp1252(name), items, 0, false);
}

bool TfrmCodInst::Selected(int model) const { return PanelIndex(model) == cbPanel->currentIndex(); }

void TfrmCodInst::FormShow()
{
    const QSignalBlocker block(cbPanel);
    setWindowTitle(FromCp1252(st_.Text(165)));
    Label1->setText(FromCp1252(st_.Text(91)));
    Label2->setText(FromCp1252(st_.Text(92)));
    tbOk->setText(FromCp1252(st_.Text(94)));
    tbCancel->setText(FromCp1252(st_.Text(95)));
    tbHelp->setText(FromCp1252(st_.Text(10)));

    cbPanel->clear();
    for (int m : kModelOrder) {
        const std::string& name = st_.modelNames[static_cast<std::size_t>(m)];
        if (!name.empty()) cbPanel->addItem(FromCp1252(name));
    }
    TimeOutSpin->setValue(st_.settings.TimeOut);
    cbPanel->setCurrentIndex(-1);
    for (int m : kModelOrder)
        if (m == st_.Model()) cbPanel->setCurrentIndex(PanelIndex(m));
    cbPanelChange();

    const QString current = FromCp1252(st_.cliente.Rel_firmware.view()).left(3);
    int pick = 0;
    for (int i = 0; i < cbFirmware->count(); ++i) {
        if (cbFirmware->itemText(i).left(3) == current) {
            pick = i;
            break;
        }
    }
    cbFirmware->setCurrentIndex(cbFirmware->count() ? pick : -1);
}

void TfrmCodInst::cbPanelChange()
{
    cbFirmware->clear();
    for (int m : kModelOrder)
        if (Selected(m)) cbFirmware->addItems(ReleaseItems(m));
    cbFirmware->setCurrentIndex(cbFirmware->count() - 1);
}

void TfrmCodInst::tbOkClick()
{
    if (cbFirmware->currentIndex() >= 0) {
        st_.cliente.Rel_firmware = ToCp1252(cbFirmware->currentText().left(3) + u'0');
        st_.settings.Firmware = FromCp1252(st_.cliente.Rel_firmware.view());
    }
    // With no item selected every nameless model matches; the current model then
    // stays when it is one of them, otherwise the last match wins.
    int chosen = -1;
    bool currentMatches = false;
    for (int m : kModelOrder) {
        if (!Selected(m)) continue;
        chosen = m;
        currentMatches = currentMatches || m == st_.Model();
    }
    if (cbPanel->currentIndex() < 0 && currentMatches) chosen = st_.Model();
    if (chosen > 0) st_.cliente.TipoCentrale = static_cast<std::uint8_t>(chosen);
    st_.settings.TipoCentrale = st_.Model();
    st_.settings.TimeOut = TimeOutSpin->value();
    if (st_.store) SaveSettings(*st_.store, st_.settings, SettingsGroup::Device);
    accept();
}

}  // namespace pelix
