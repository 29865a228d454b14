#include "app/formfit.h"

#include <QLabel>
#include <QTableWidget>
#include <QWidget>

#include <gtest/gtest.h>

using namespace pelix;

namespace {

struct Form {
    QWidget form;
    QLabel* label = new QLabel(QStringLiteral("Name"), &form);
    QTableWidget* grid = new QTableWidget(3, 2, &form);

    Form()
    {
        form.resize(800, 600);
        label->setGeometry(100, 60, 200, 20);
        QFont f = label->font();
        f.setPointSize(10);
        label->setFont(f);
        grid->setGeometry(400, 300, 300, 200);
        grid->setColumnWidth(0, 100);
    }
};

}  // namespace

TEST(FitFormToScreen, AWideScreenChangesOnlyTheFormSettings)
{
    Form f;
    FitFormToScreen(&f.form, 800, 600, QSize(1024, 768));
    EXPECT_EQ(f.form.font().family(), "Arial");
    EXPECT_EQ(f.form.size(), QSize(800, 600));
    EXPECT_EQ(f.label->geometry(), QRect(100, 60, 200, 20));
    EXPECT_EQ(f.grid->columnWidth(0), 100);
}

TEST(FitFormToScreen, ASmallScreenScalesControlsFontsAndColumns)
{
    Form f;
    FitFormToScreen(&f.form, 800, 600, QSize(640, 480));
    EXPECT_EQ(f.form.size(), QSize(640, 480));
    EXPECT_EQ(f.label->geometry(), QRect(80, 48, 160, 16));
    EXPECT_EQ(f.label->font().pointSize(), 8);
    EXPECT_EQ(f.grid->geometry(), QRect(320, 240, 240, 160));
    EXPECT_EQ(f.grid->columnWidth(0), 80);
}

TEST(CenterPanel, HalfTheDifferenceRoundedTowardsZero)
{
    QWidget form;
    form.resize(301, 200);
    QWidget panel(&form);
    panel.setGeometry(5, 7, 100, 51);
    CenterPanelX(&form, &panel);
    EXPECT_EQ(panel.pos(), QPoint(100, 7));
    CenterPanelY(&form, &panel);
    EXPECT_EQ(panel.pos(), QPoint(100, 74));

    panel.resize(400, 300);  // larger than the form: a negative offset, towards zero
    CenterPanelX(&form, &panel);
    CenterPanelY(&form, &panel);
    EXPECT_EQ(panel.pos(), QPoint(-49, -50));
}
