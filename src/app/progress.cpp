#include "progress.h"

#include "common/startup.h"

#include <QApplication>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace pelix {

TfrmProg::TfrmProg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowModality(Qt::ApplicationModal);
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 165);
    Gauge1->setTextVisible(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Gauge1);
    setFixedSize(360, 60);
}

void TfrmProg::ProgressShow()
{
    Gauge1->setValue(0);
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    if (const QScreen* s = screen()) move(s->geometry().center() - rect().center());
    show();
    Gauge1->repaint();
    QCoreApplication::processEvents();
}

void TfrmProg::ProgressStep(int n)
{
    Gauge1->setValue(std::min(Gauge1->maximum(), Gauge1->value() + n));
    Gauge1->repaint();
    QCoreApplication::processEvents();
}

void TfrmProg::ProgressClose()
{
    if (!isVisible()) return;
    Gauge1->setValue(Gauge1->maximum());
    Gauge1->repaint();
    QCoreApplication::processEvents();
    QThread::msleep(200);  // a finished or stopped operation ends on a full bar
    hide();
}

}  // namespace pelix
