#include "qtfeedback.h"

#include "common/startup.h"
#include "app/progress.h"
#include "common/text.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressBar>

namespace pelix {

MsgAnswer QtFeedback::Message(const std::string& text, MsgType type, MsgButtons buttons)
{
    QMessageBox::Icon icon = QMessageBox::Warning;
    switch (type) {
    case MsgType::Warning: icon = QMessageBox::Warning; break;
    case MsgType::Error: icon = QMessageBox::Critical; break;
    case MsgType::Information: icon = QMessageBox::Information; break;
    case MsgType::Confirmation: icon = QMessageBox::Question; break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok: set = QMessageBox::Ok; break;
    case MsgButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MsgButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
    case MsgButtons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    // The box shows the normal arrow; the cursor in force before comes back afterwards.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    QString body = FromCp1252(text);
    body.replace(u'\r', u'\n');
    QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), body, set, parent_);
    const int r = box.exec();
    QGuiApplication::restoreOverrideCursor();
    switch (r) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::None;
    }
}

void QtFeedback::Busy(bool on)
{
    if (on) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else QGuiApplication::restoreOverrideCursor();
}

void QtFeedback::ProcessEvents() { QCoreApplication::processEvents(); }

// The gauge keeps the maximum of the previous operation unless told otherwise.
void QtFeedback::ProgressShow(const std::string& caption, int maximum)
{
    if (!prog_) return;
    if (maximum > 0) prog_->Gauge1->setMaximum(maximum);
    prog_->ProgressShow();
    if (!caption.empty()) prog_->setWindowTitle(FromCp1252(caption));
}

void QtFeedback::ProgressSetMax(int maximum)
{
    if (prog_ && maximum > 0) prog_->Gauge1->setMaximum(maximum);
}

void QtFeedback::ProgressCaption(const std::string& caption)
{
    if (prog_) prog_->setWindowTitle(FromCp1252(caption));
}

void QtFeedback::ProgressStep()
{
    if (prog_ && prog_->isVisible()) prog_->ProgressStep(1);
}

void QtFeedback::ProgressClose()
{
    if (prog_) prog_->ProgressClose();
}

}  // namespace pelix
