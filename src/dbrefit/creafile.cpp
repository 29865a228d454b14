#include "creafile.h"

#include "common/text.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelix::refit {

TfrmCreafile::TfrmCreafile(Upgrade& upgrade, Feedback& fb, QWidget* parent)
    : QWidget(parent), upgrade_(upgrade), fb_(fb)
{
    setWindowTitle(QStringLiteral("Update Database"));
    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("Attendere prego!"), Panel1);
    Label2 = new QLabel(QStringLiteral("Nome del file in creazione : "), Panel1);
    Nomedelfile = new QLabel(Panel1);
    NomeDelDatabase = new QLabel(Panel1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->addWidget(Label1);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Label2);
    fileRow->addWidget(Nomedelfile, 1);
    panelLayout->addLayout(fileRow);
    panelLayout->addWidget(NomeDelDatabase);

    btnok = new QPushButton(QStringLiteral("OK"), this);
    btncancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnok);
    buttons->addWidget(btncancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TfrmCreafile::Timer1Timer);
    connect(btnok, &QPushButton::clicked, this, &TfrmCreafile::UpgradeStepsRun);
    connect(btncancel, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmCreafile::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (shown_) return;
    shown_ = true;
    // After the window is on screen, so the question has a window to sit on.
    QTimer::singleShot(0, this, &TfrmCreafile::FormShow);
}

void TfrmCreafile::FormShow()
{
    if (!upgrade_.LoadTexts()) QApplication::beep();
    auto apply = [&](int line, auto setter) {
        const std::string t = upgrade_.Text(line);
        if (!t.empty()) setter(FromCp1252(t));
    };
    apply(kLineCaption, [&](const QString& s) { setWindowTitle(s); });
    apply(kLineLabel1, [&](const QString& s) { Label1->setText(s); });
    apply(kLineLabel2, [&](const QString& s) { Label2->setText(s); });
    apply(kLineOk, [&](const QString& s) { btnok->setText(s); });
    apply(kLineCancel, [&](const QString& s) { btncancel->setText(s); });
    NomeDelDatabase->clear();

    if (upgrade_.NeedsQuestion() &&
        ShowMsg(fb_, upgrade_.Text(kLineQuestion), MsgType::Warning, MsgButtons::YesNo) != MsgAnswer::Yes) {
        close();
        return;
    }
    btnok->hide();
    btncancel->hide();
    Timer1.start();
}

void TfrmCreafile::Timer1Timer()
{
    Timer1.stop();
    UpgradeStepsRun();
}

void TfrmCreafile::UpgradeStepsRun()
{
    if (ran_) return;
    ran_ = true;
    Label1->show();
    Label2->show();
    Panel1->show();
    repaint();
    completed_ = upgrade_.UpgradeSteps([this](const QString& name) {
        Nomedelfile->setText(name.trimmed().left(40));
        Nomedelfile->repaint();
        fb_.ProcessEvents();
    });
    close();
}

}  // namespace pelix::refit
