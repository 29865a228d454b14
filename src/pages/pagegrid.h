// The grid every page edits in: row 0 holds the headings (and column 0 the
// numbering when fixedColumns is 1), data rows start at 1, cells are addressed
// (column, row). A page supplies callbacks for drawing, editing, key filtering,
// combo choices and hints.
//
// Cells toggle only on a real mouse click: moving the selection with the arrow
// keys or the wheel sets the navigation flag, and a mouse move over the grid
// clears it, so a selection change never changes the configuration by itself.
#pragma once

#include <QFrame>
#include <QTableWidget>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;

namespace pelix {

class PageGrid : public QTableWidget {
    Q_OBJECT

public:
    PageGrid(int columns, int rows, int fixedColumns, QWidget* parent = nullptr);

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);
    int fixedColumns() const { return fixedColumns_; }

    // Draws a data cell (row >= 1, col >= fixedColumns); unset: plain text.
    std::function<void(QPainter& painter, const QRect& rect, int col, int row)> drawCell;
    // Whether a cell opens an editor; unset: no cell does.
    std::function<bool(int col, int row)> canEdit;
    // Whether a typed character may go into a cell's editor (backspace always may).
    std::function<bool(int col, QChar ch, const QString& current)> acceptKey;
    // Largest number of characters a column's editor takes (0: no limit).
    std::function<int(int col)> maxLength;
    // Items of a combo cell; an empty list means the cell has no combo.
    std::function<QStringList(int col, int row)> comboItems;
    // The hint for the cell under the mouse ("short|long").
    std::function<QString(int col, int row)> cellHint;
    // Sets up a text cell's editor before it opens (a validator that also
    // covers pasted text, say).
    std::function<void(int col, int row, QLineEdit* editor)> prepareEditor;

    // The name shown in a floating label while the mouse is over the heading
    // cell of `col` (the phone-number columns); empty: no label for that column.
    std::function<QString(int col)> headingName;
    QLabel* NameLabel() const { return nameLabel_; }

    // A band across the top half of the heading cells of columns first..last,
    // holding `text`; the columns' own headings go in the bottom half.
    void SetHeadingBand(int first, int last, const QString& text);

    bool navigationFlag() const { return navigation_; }

    // Keeps the heading row in view while the data rows scroll (for grids
    // with more rows than a page shows). Call after the heading row's height is set.
    void FreezeHeadings();

    // Widens every column whose heading holds a word wider than the column.
    void FitColumnsToHeadings();
    // The grid asks for the size of its rows and columns and grows no larger
    // (it may still shrink and scroll).
    void LimitToContents();

    // Ends an edit in progress, keeping what was typed (a page calls it before
    // writing back, so text still in an open editor is not lost).
    void CommitEditor();

signals:
    // A mouse click on a cell (never a keyboard or wheel selection change).
    void CellClick(int col, int row);
    // An editor wrote a new text into a cell.
    void CellEdited(int col, int row, const QString& text);
    // A combo cell took a new choice.
    void ComboChosen(int col, int row, int index);

protected:
    void updateGeometries() override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    friend class PageGridDelegate;
    friend class PageGridHeadingStrip;
    struct HeadingBand {
        int first;
        int last;
        QString text;
    };
    const HeadingBand* BandOf(int col) const;
    // Makes room for the horizontal scroll bar while it shows, so that it never
    // covers the last row of a grid limited to its contents.
    void FitHeightToScrollBar();
    void ShowNameLabel(int col, const QPoint& at);
    // The mouse is over a cell (-1: none); `at` in the viewport's coordinates.
    void HoverCell(int col, int row, const QPoint& at);
    void PaintHeading(QPainter& p, const QRect& cell, int col, int row, const QPalette& pal) const;

    int fixedColumns_;
    std::vector<HeadingBand> bands_;
    QLabel* nameLabel_ = nullptr;
    QWidget* strip_ = nullptr;  // the frozen heading row
    int headingHeight_ = 0;
    int contentHeight_ = -1;  // what LimitToContents measured; -1: not limited
    bool navigation_ = false;
    QModelIndex pressed_;
};

// Painting conventions of the grids.
void PaintCheckCell(QPainter& p, const QRect& r, bool checked);
void PaintUnavailableCell(QPainter& p, const QRect& r);
// A text cell drawn by a page that paints its own cells.
void PaintTextCell(QPainter& p, const QRect& r, const QString& text, Qt::Alignment align = Qt::AlignLeft);
// Polarity 0 draws image 0 of the polarity list, 1 image 1; `g` uses the
// second pair (3 for 0, 2 for 1) four pixels lower.
void PaintPolarityCell(QPainter& p, const QRect& r, int polarity, bool g = false);

// The legend of the polarity glyphs: the normally-open and normally-closed
// symbols with their captions (`g`: the second pair of glyphs).
class PolarityLegend : public QFrame {
    Q_OBJECT

public:
    explicit PolarityLegend(QWidget* parent = nullptr, bool g = false);
    void SetTexts(const QString& normallyOpen, const QString& normallyClosed);

private:
    QLabel* open_;
    QLabel* closed_;
};

}  // namespace pelix
