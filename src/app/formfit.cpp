#include "formfit.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QTableWidget>
#include <QWidget>

#include <cmath>

namespace pelix {

namespace {

int Scaled(int v, double f) { return static_cast<int>(std::lround(v * f)); }

bool PlacedByLayout(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(const_cast<QWidget*>(w)) >= 0;
}

}  // namespace

void FitFormToScreen(QWidget* form, int W, int H, QSize screen)
{
    if (!form || W <= 0 || H <= 0) return;
    if (!screen.isValid()) {
        const QScreen* s = form->screen();
        screen = s ? s->geometry().size() : QSize(W, H);
    }
    if (auto* area = qobject_cast<QAbstractScrollArea*>(form)) {
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    QFont f = form->font();
    f.setFamily(QStringLiteral("Arial"));
    form->setFont(f);
    if (form->isWindow())
        form->move((screen.width() - form->width()) / 2, (screen.height() - form->height()) / 2);

    if (screen.width() >= W) return;

    const double vf = static_cast<double>(screen.height()) / H;
    const double hf = static_cast<double>(screen.width()) / W;
    form->resize(Scaled(form->width(), hf), Scaled(form->height(), vf));

    const auto children = form->findChildren<QWidget*>();
    for (QWidget* w : children) {
        if (w->isWindow() || PlacedByLayout(w)) continue;
        const QRect r = w->geometry();
        const bool ownFont = w->testAttribute(Qt::WA_SetFont);
        const qreal size = ownFont ? w->font().pointSizeF() : form->font().pointSizeF();
        if (auto* grid = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < grid->columnCount(); ++c) grid->setColumnWidth(c, Scaled(grid->columnWidth(c), hf));
        }
        const QRect scaled(Scaled(r.left(), hf), Scaled(r.top(), vf), Scaled(r.width(), hf), Scaled(r.height(), vf));
        if (ownFont && size > 0) {
            QFont wf = w->font();
            wf.setPointSizeF(std::max<qreal>(1, std::round(size * vf)));
            w->setFont(wf);
        }
        w->setGeometry(scaled);
        if (auto* label = qobject_cast<QLabel*>(w)) label->update();
    }
}

void CenterPanelX(QWidget* form, QWidget* panel)
{
    if (form && panel) panel->move((form->width() - panel->width()) / 2, panel->y());
}

void CenterPanelY(QWidget* form, QWidget* panel)
{
    if (form && panel) panel->move(panel->x(), (form->height() - panel->height()) / 2);
}

}  // namespace pelix
