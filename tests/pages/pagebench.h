// A page host on a prepared image, and the user's hands: clicking grid cells,
// typing into cells and boxes, leaving a box and leaving the page.
#pragma once

#include "model/datetime.h"
#include "model/imageinit.h"
#include "pages/pageform.h"
#include "pages/pagegrid.h"
#include "pages/pageregistry.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace pelix::test {

struct PageBench {
    explicit PageBench(std::uint8_t model, const char* release = "1.00")
    {
        st.cliente.TipoCentrale = model;
        st.cliente.Rel_firmware = release;
        st.settings.TimeOut = 1;
        st.texts.SetLanguageFolder(SourceDataFolder() + QStringLiteral("/LANGUAGE/"));
        st.texts.LoadLanguage(QStringLiteral("English"), model == kModelG, fb);
        WriteImageDefaults(st.image, model, st.texts, NowDateTime());
        area.resize(1100, 760);
        area.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&area));
    }

    template <class Page>
    Page* Open()
    {
        EXPECT_TRUE(host.Open(1, MakePage<Page>));
        auto* page = qobject_cast<Page*>(host.Current());
        QApplication::processEvents();
        return page;
    }
    // Leaves the page as the tree does when another node is chosen; false when
    // the page refused.
    bool Leave() { return host.CloseCurrent(); }

    static void Click(PageGrid* grid, int col, int row)
    {
        grid->scrollTo(grid->model()->index(row, col));
        const QPoint at = grid->visualRect(grid->model()->index(row, col)).center();
        QTest::mouseMove(grid->viewport(), at);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
    // Opens the cell's editor with F2; null when the cell opens none.
    static QLineEdit* EditCell(PageGrid* grid, int col, int row)
    {
        grid->setCurrentCell(row, col);
        grid->setFocus();
        const QModelIndex cell = grid->model()->index(row, col);
        if (!grid->indexWidget(cell)) QTest::keyClick(grid, Qt::Key_F2);
        return qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    }
    // Types into a cell (after clearing it) and presses Return; false when the
    // cell opens no editor.
    static bool TypeCell(PageGrid* grid, int col, int row, const QString& keys)
    {
        QLineEdit* e = EditCell(grid, col, row);
        if (!e) return false;
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, keys);
        QTest::keyClick(e, Qt::Key_Return);
        QApplication::processEvents();  // the view commits the editor on the next turn
        return true;
    }
    // Replaces a box's text by typing, then moves the focus away from it.
    static void Type(QLineEdit* box, const QString& keys)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, keys);
    }
    static void LeaveBox(QLineEdit* box)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        box->clearFocus();
    }

    RecordingFeedback fb;
    ProgramState st{fb};
    PageContext ctx{st, fb};
    QWidget area;
    PageHost host{ctx, &area};
};

}  // namespace pelix::test
