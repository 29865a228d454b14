#include "pagegrid.h"

#include "app/imagelists.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace pelix {

class PageGridDelegate : public QStyledItemDelegate {
public:
    explicit PageGridDelegate(PageGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int col = index.column();
        const int row = index.row();
        if (row == 0 || col < grid_->fixedColumns_) {
            grid_->PaintHeading(*p, option.rect, col, row, option.palette);
            return;
        }
        if (grid_->drawCell) {
            p->save();
            if (option.state & QStyle::State_Selected)
                p->fillRect(option.rect, option.palette.color(QPalette::Highlight).lighter(170));
            grid_->drawCell(*p, option.rect, col, row);
            p->restore();
        } else {
            QStyledItemDelegate::paint(p, option, index);
        }
        // The grid lines of data cells are drawn here rather than by the view,
        // whose lines would cut through the heading bands.
        p->save();
        p->setPen(QColor::fromRgba(static_cast<QRgb>(
            grid_->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, grid_))));
        p->drawLine(option.rect.topRight(), option.rect.bottomRight());
        p->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        p->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int col = index.column();
        const int row = index.row();
        if (grid_->comboItems) {
            const QStringList items = grid_->comboItems(col, row);
            if (!items.isEmpty()) {
                auto* combo = new QComboBox(parent);
                combo->addItems(items);
                connect(combo, &QComboBox::activated, this, [this, col, row](int i) { emit grid_->ComboChosen(col, row, i); });
                return combo;
            }
        }
        auto* edit = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (edit) {
            if (grid_->maxLength && grid_->maxLength(col) > 0) edit->setMaxLength(grid_->maxLength(col));
            edit->setProperty("pelixColumn", col);
            edit->installEventFilter(const_cast<PageGridDelegate*>(this));
            if (grid_->prepareEditor) grid_->prepareEditor(col, row, edit);
        }
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(combo->findText(index.data().toString()));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentText());
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
        emit grid_->CellEdited(index.column(), index.row(), index.data().toString());
    }

    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && grid_->acceptKey) {
            auto* edit = qobject_cast<QLineEdit*>(obj);
            auto* key = static_cast<QKeyEvent*>(e);
            const QString t = key->text();
            if (edit && t.size() == 1 && t[0].isPrint() && key->key() != Qt::Key_Backspace) {
                if (!grid_->acceptKey(edit->property("pelixColumn").toInt(), t[0], edit->text())) return true;
            }
        }
        return QStyledItemDelegate::eventFilter(obj, e);
    }

private:
    PageGrid* grid_;
};

PageGrid::PageGrid(int columns, int rows, int fixedColumns, QWidget* parent)
    : QTableWidget(rows, columns, parent), fixedColumns_(fixedColumns)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setItemDelegate(new PageGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setMouseTracking(true);
    setShowGrid(false);
    verticalHeader()->setDefaultSectionSize(20);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) setItem(r, c, new QTableWidgetItem);
}

QString PageGrid::Cells(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void PageGrid::SetCells(int col, int row, const QString& text)
{
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    it->setText(text);
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (row > 0 && col >= fixedColumns_) f |= Qt::ItemIsEditable;
    it->setFlags(f);
}

void PageGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right || e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)
        navigation_ = true;
    QTableWidget::keyPressEvent(e);
}

void PageGrid::wheelEvent(QWheelEvent* e)
{
    navigation_ = true;
    QTableWidget::wheelEvent(e);
}

void PageGrid::mouseMoveEvent(QMouseEvent* e)
{
    navigation_ = false;
    QTableWidget::mouseMoveEvent(e);
}

void PageGrid::mousePressEvent(QMouseEvent* e)
{
    navigation_ = false;
    pressed_ = indexAt(e->position().toPoint());
    QTableWidget::mousePressEvent(e);
}

void PageGrid::mouseReleaseEvent(QMouseEvent* e)
{
    QTableWidget::mouseReleaseEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && at.isValid() && at == pressed_ && !navigation_)
        emit CellClick(at.column(), at.row());
    pressed_ = QModelIndex();
}

void PageGrid::PaintHeading(QPainter& p, const QRect& cell, int col, int row, const QPalette& pal) const
{
    QRect own = cell;
    if (const HeadingBand* band = row == 0 ? BandOf(col) : nullptr) {
        // The band is drawn whole from every cell under it, clipped to the cell.
        const int left = columnViewportPosition(band->first);
        const int right = columnViewportPosition(band->last) + columnWidth(band->last) - 1;
        const QRect bandRect(QPoint(left, own.top()), QPoint(right, own.top() + own.height() / 2 - 1));
        own.setTop(bandRect.bottom() + 1);
        p.save();
        p.setClipRect(cell);
        p.fillRect(bandRect, pal.color(QPalette::Button));
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(bandRect.adjusted(0, 0, -1, -1));
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(bandRect.adjusted(2, 0, -2, 0), Qt::AlignCenter, band->text);
        p.restore();
    }
    p.fillRect(own, pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(own.adjusted(0, 0, -1, -1));
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(own.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap, Cells(col, row));
}

// The heading row of a grid whose headings stay in view: drawn above the
// viewport, scrolled sideways with it.
class PageGridHeadingStrip : public QWidget {
public:
    explicit PageGridHeadingStrip(PageGrid* grid) : QWidget(grid), grid_(grid)
    {
        setObjectName(QStringLiteral("headingStrip"));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int col = 0; col < grid_->columnCount(); ++col) {
            if (grid_->isColumnHidden(col)) continue;
            const QRect cell(grid_->columnViewportPosition(col), 0, grid_->columnWidth(col), height());
            if (cell.right() >= 0 && cell.left() < width()) grid_->PaintHeading(p, cell, col, 0, palette());
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QPoint at = e->position().toPoint();
        // In the viewport's coordinates (above its top edge).
        grid_->HoverCell(grid_->columnAt(at.x()), 0, at + pos() - grid_->viewport()->pos());
    }
    void leaveEvent(QEvent*) override
    {
        if (grid_->nameLabel_) grid_->nameLabel_->hide();
    }

private:
    PageGrid* grid_;
};

void PageGrid::FreezeHeadings()
{
    if (strip_) return;
    headingHeight_ = rowHeight(0);
    setRowHidden(0, true);
    strip_ = new PageGridHeadingStrip(this);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, strip_, qOverload<>(&QWidget::update));
    connect(horizontalHeader(), &QHeaderView::sectionResized, strip_, qOverload<>(&QWidget::update));
    setViewportMargins(0, headingHeight_, 0, 0);
    strip_->show();
    strip_->raise();
    updateGeometries();
}

void PageGrid::updateGeometries()
{
    QTableWidget::updateGeometries();
    if (strip_) {
        // The table view sets the margins for its own (hidden) headers.
        if (viewportMargins() != QMargins(0, headingHeight_, 0, 0)) setViewportMargins(0, headingHeight_, 0, 0);
        const QRect vp = viewport()->geometry();
        strip_->setGeometry(vp.left(), vp.top() - headingHeight_, vp.width(), headingHeight_);
        strip_->update();
    }
}

void PageGrid::CommitEditor()
{
    if (state() != EditingState) return;
    for (QWidget* editor : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<QLineEdit*>(editor) && !qobject_cast<QComboBox*>(editor)) continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void PageGrid::FitColumnsToHeadings()
{
    const QFontMetrics fm(font());
    for (int col = 0; col < columnCount(); ++col) {
        // Under a band a heading has one line; elsewhere it may wrap between words.
        const QStringList parts = BandOf(col) ? QStringList{Cells(col, 0)} : Cells(col, 0).split(u' ', Qt::SkipEmptyParts);
        int widest = 0;
        for (const QString& part : parts) widest = qMax(widest, fm.horizontalAdvance(part));
        if (widest + 10 > columnWidth(col)) setColumnWidth(col, widest + 10);
    }
}

void PageGrid::LimitToContents()
{
    int width = 2 * frameWidth();
    for (int col = 0; col < columnCount(); ++col)
        if (!isColumnHidden(col)) width += columnWidth(col);
    int height = 2 * frameWidth() + (strip_ ? headingHeight_ : 0);
    for (int row = 0; row < rowCount(); ++row)
        if (!isRowHidden(row)) height += rowHeight(row);
    if (verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) width += verticalScrollBar()->sizeHint().width();
    setMaximumSize(width, height);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    if (contentHeight_ < 0)
        connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] { FitHeightToScrollBar(); });
    contentHeight_ = height;
    FitHeightToScrollBar();
}

void PageGrid::FitHeightToScrollBar()
{
    const QScrollBar* bar = horizontalScrollBar();
    const bool shown = horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && bar->maximum() > bar->minimum();
    const int height = contentHeight_ + (shown ? bar->sizeHint().height() : 0);
    if (height == maximumHeight()) return;
    // A grid held at its full height stays so.
    const bool pinned = minimumHeight() == maximumHeight();
    setMaximumHeight(height);
    if (pinned) setMinimumHeight(height);
}

void PageGrid::SetHeadingBand(int first, int last, const QString& text)
{
    for (HeadingBand& b : bands_) {
        if (b.first == first && b.last == last) {
            b.text = text;
            viewport()->update();
            return;
        }
    }
    bands_.push_back({first, last, text});
    viewport()->update();
}

const PageGrid::HeadingBand* PageGrid::BandOf(int col) const
{
    for (const HeadingBand& b : bands_)
        if (col >= b.first && col <= b.last) return &b;
    return nullptr;
}

void PageGrid::ShowNameLabel(int col, const QPoint& at)
{
    const QString name = col >= 0 && headingName ? headingName(col) : QString();
    if (name.isEmpty()) {
        if (nameLabel_) nameLabel_->hide();
        return;
    }
    if (!nameLabel_) {
        nameLabel_ = new QLabel(this);
        nameLabel_->setAutoFillBackground(true);
        nameLabel_->setBackgroundRole(QPalette::ToolTipBase);
        nameLabel_->setForegroundRole(QPalette::ToolTipText);
        nameLabel_->setFrameShape(QFrame::Box);
        nameLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    nameLabel_->setText(name);
    nameLabel_->adjustSize();
    // Left of the pointer, so the label does not hide the column it names.
    const QPoint p = viewport()->mapTo(this, at) - QPoint(70, 0);
    nameLabel_->move(qBound(0, p.x(), qMax(0, width() - nameLabel_->width())), p.y());
    nameLabel_->show();
    nameLabel_->raise();
}

void PageGrid::HoverCell(int col, int row, const QPoint& at)
{
    if (headingName) ShowNameLabel(col >= 0 && row == 0 ? col : -1, at);
    if (cellHint && col >= 0 && row >= 0) {
        const QString hint = cellHint(col, row);
        const qsizetype bar = hint.indexOf(u'|');
        setToolTip(bar < 0 ? hint : hint.left(bar));
        const QString longHint = bar < 0 ? hint : hint.mid(bar + 1);
        if (statusTip() != longHint) {
            setStatusTip(longHint);
            QStatusTipEvent tip(longHint);
            QApplication::sendEvent(this, &tip);
        }
    }
}

bool PageGrid::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::Leave && nameLabel_) nameLabel_->hide();
    if (e->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent*>(e)->position().toPoint();
        const QModelIndex cell = indexAt(at);
        HoverCell(cell.isValid() ? cell.column() : -1, cell.isValid() ? cell.row() : -1, at);
    }
    return QTableWidget::viewportEvent(e);
}

bool PageGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // Editor suppression: only the cells the page names open an editor.
    if (index.isValid() && (index.row() == 0 || index.column() < fixedColumns_ || !canEdit ||
                            !canEdit(index.column(), index.row())))
        return false;
    return QTableWidget::edit(index, trigger, event);
}

void PaintCheckCell(QPainter& p, const QRect& r, bool checked)
{
    const QPalette pal = QApplication::palette();
    p.fillRect(r, pal.color(QPalette::Base));
    p.setPen(QPen(pal.color(QPalette::Button), 1));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (checked) p.drawPixmap(r.topLeft(), ImageLists::ImageList2(0));
}

void PaintUnavailableCell(QPainter& p, const QRect& r)
{
    p.fillRect(r, QApplication::palette().color(QPalette::Button));
}

void PaintTextCell(QPainter& p, const QRect& r, const QString& text, Qt::Alignment align)
{
    p.setPen(QApplication::palette().color(QPalette::Text));
    p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignVCenter | align, text);
}

void PaintPolarityCell(QPainter& p, const QRect& r, int polarity, bool g)
{
    const QPalette pal = QApplication::palette();
    p.fillRect(r, pal.color(QPalette::Base));
    const int image = g ? (polarity == 0 ? 3 : 2) : (polarity == 0 ? 0 : 1);
    p.drawPixmap(r.topLeft() + QPoint(2, g ? 4 : 0), ImageLists::ImageList4(image));
}

PolarityLegend::PolarityLegend(QWidget* parent, bool g) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(6, 2, 6, 2);
    auto glyph = [this](int image) {
        auto* pic = new QLabel(this);
        pic->setPixmap(ImageLists::ImageList4(image));
        return pic;
    };
    open_ = new QLabel(this);
    closed_ = new QLabel(this);
    l->addWidget(glyph(g ? 3 : 0));
    l->addWidget(open_);
    l->addSpacing(12);
    l->addWidget(glyph(g ? 2 : 1));
    l->addWidget(closed_);
    l->addStretch();
}

void PolarityLegend::SetTexts(const QString& normallyOpen, const QString& normallyClosed)
{
    open_->setText(normallyOpen);
    closed_->setText(normallyClosed);
}

}  // namespace pelix
