#include "pagebench.h"
#include "pages/comdig.h"
#include "pages/gprs.h"
#include "pages/pageform.h"
#include "pages/pagegrid.h"
#include "pages/sms.h"
#include "pages/telefono.h"
#include "pages/uscite.h"

#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace pelix;

namespace {

// A page editing one field of the image, which can be told to refuse closing.
class EchoPage : public TPageForm {
public:
    EchoPage(PageContext& c, QWidget* owner) : TPageForm(c, owner), edit(new QLineEdit(this)) {}
    QLineEdit* edit;
    bool refuse = false;

protected:
    void FormShow() override { edit->setText(QString::fromStdString(st.image.Opzioni.Prefisso.str())); }
    bool FormCloseQuery() override
    {
        FormClose();
        if (refuse) Tag = 255;
        return true;
    }
    void FormClose() override { st.image.Opzioni.Prefisso = edit->text().toStdString(); }
};

struct HostFixture : ::testing::Test {
    RecordingFeedback fb;
    ProgramState st{fb};
    PageContext ctx{st, fb};
    QWidget area;
    PageHost host{ctx, &area};
    EchoPage* page = nullptr;

    PageFactory Echo()
    {
        return [this](PageContext& c, QWidget* owner) { return page = new EchoPage(c, owner); };
    }
};

}  // namespace

TEST_F(HostFixture, LeavingAPageWritesItBack)
{
    st.image.Opzioni.Prefisso = "0";
    ASSERT_TRUE(host.Open(1, Echo()));
    EXPECT_EQ(page->edit->text(), "0");
    EXPECT_EQ(page->parentWidget(), &area);
    page->edit->setText("00391");  // longer than the field
    QPointer<EchoPage> first = page;
    ASSERT_TRUE(host.Open(2, Echo()));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(st.image.Opzioni.Prefisso, "0039");
    EXPECT_EQ(host.CurrentNode(), 2);
}

TEST_F(HostFixture, APageThatRefusesStaysOpen)
{
    ASSERT_TRUE(host.Open(4, Echo()));
    page->refuse = true;
    EchoPage* refusing = page;
    EXPECT_FALSE(host.Open(5, Echo()));
    EXPECT_EQ(host.Current(), refusing);
    EXPECT_EQ(host.CurrentNode(), 4);
    refusing->refuse = false;
    EXPECT_TRUE(host.Open(5, Echo()));
    EXPECT_EQ(host.CurrentNode(), 5);
}

// The pages with hint-laden grids shorten the hint pause while they are open;
// the digital communicator page shortens it and leaves it so, and a page that
// does not touch it keeps what it found.
TEST(HintPause, FollowsThePagesOpenedAndLeft)
{
    pelix::test::PageBench b(kModelG, "3.10");
    SetHintPause(kHintPauseDefault);
    const auto pause = [] { return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay); };
    ASSERT_EQ(pause(), kHintPauseDefault);
    const struct {
        const char* page;
        PageFactory make;
        int whileOpen;
        int afterLeaving;
    } steps[] = {
        {"Telefono", MakePage<TfrmTelefono>, 100, 500},
        {"GPRS", MakePage<TfrmGPRS>, 500, 500},
        {"SmsPELIXG", MakePage<TfrmSmsPELIXG>, 100, 500},
        {"Uscite", MakePage<TfrmUscite>, 100, 500},
        {"ComDigPELIXG", MakePage<TfrmComDigPELIXG>, 100, 100},
        {"GPRS", MakePage<TfrmGPRS>, 100, 100},
        {"Telefono", MakePage<TfrmTelefono>, 100, 500},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(b.host.Open(1, step.make)) << step.page;
        EXPECT_EQ(pause(), step.whileOpen) << step.page << " open";
        ASSERT_TRUE(b.Leave()) << step.page;
        EXPECT_EQ(pause(), step.afterLeaving) << step.page << " left";
    }
}

TEST(PageGridTest, OnlyAMouseClickTogglesAndOnlyTextColumnsEdit)
{
    PageGrid grid(3, 4, 1);
    grid.resize(300, 200);
    grid.canEdit = [](int col, int) { return col == 2; };
    grid.acceptKey = [](int, QChar ch, const QString&) { return ch.isDigit(); };
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicks(&grid, &PageGrid::CellClick);

    grid.setCurrentCell(1, 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_TRUE(grid.navigationFlag());
    EXPECT_EQ(clicks.count(), 0);

    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseMove(grid.viewport(), cell.center());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 1);
    EXPECT_EQ(clicks[0][1].toInt(), 2);
    EXPECT_FALSE(grid.navigationFlag());

    // A check column opens no editor when typed into.
    QTest::keyClick(&grid, Qt::Key_5);
    EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(grid.Cells(1, 2), "");

    // A text column does, and its filter refuses letters.
    grid.setCurrentCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_F2);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "1a2");
    EXPECT_EQ(editor->text(), "12");
}

// A grid held at the height of its rows, in a page too narrow for its columns:
// the horizontal scroll bar comes, and the last row stays in view above it.
TEST(PageGridTest, TheHorizontalScrollBarNeverCoversTheLastRow)
{
    QWidget page;
    auto* layout = new QVBoxLayout(&page);
    auto* grid = new PageGrid(12, 6, 1, &page);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int col = 0; col < 12; ++col) grid->setColumnWidth(col, 60);
    layout->addWidget(grid);
    layout->addStretch(1);
    grid->LimitToContents();
    grid->setMinimumHeight(grid->maximumHeight());
    page.resize(900, 400);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const auto lastRowShows = [grid] {
        QApplication::processEvents();
        return grid->visualRect(grid->model()->index(5, 1)).bottom() < grid->viewport()->height();
    };
    EXPECT_TRUE(lastRowShows());
    page.resize(400, 400);
    EXPECT_TRUE(lastRowShows());
    EXPECT_TRUE(grid->horizontalScrollBar()->isVisible());
    page.resize(900, 400);
    EXPECT_TRUE(lastRowShows());
    EXPECT_EQ(grid->height(), grid->minimumHeight());
}
