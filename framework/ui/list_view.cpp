#include "ui/list_view.h"

#include "ui/dialog_units.h"
#include "ui/list_model.h"

#include <cmath>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWheelEvent>

namespace qly {

// Cells drawn with their column's indent from the aligned edge; the highlight fills the whole
// cell all the same.
class ListDelegate final : public QStyledItemDelegate
{
public:
    ListDelegate(std::vector<int> indents, QObject* parent)
        : QStyledItemDelegate(parent), m_indents(std::move(indents))
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const int column = index.column();
        const int indent = column >= 0 && column < static_cast<int>(m_indents.size())
                               ? m_indents[size_t(column)]
                               : 0;
        if (indent <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, cell.widget);
        if (cell.displayAlignment & Qt::AlignRight)
            cell.rect.adjust(0, 0, -indent, 0);
        else
            cell.rect.adjust(indent, 0, 0, 0);
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    }

private:
    std::vector<int> m_indents; // pixels, by column
};

// The table view of the rows held, handing keys, the wheel and clicks to its list.
class ListTable final : public QTableView
{
public:
    explicit ListTable(ListView* owner) : QTableView(owner), m_owner(owner) {}

    // The model's top row at the top of the screen; the view's own bar follows the rows held.
    void showFrom(int top)
    {
        updateGeometries();
        verticalScrollBar()->setValue(top);
    }

    // Type-ahead is the window's: the text goes out as a signal instead.
    void keyboardSearch(const QString&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_owner->handleKey(event->key())) {
            event->accept();
            return;
        }
        const QString text = event->text();
        if (!text.isEmpty() && (text.front().isPrint() || event->key() == Qt::Key_Backspace) &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            Q_EMIT m_owner->textTyped(text);
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
    }

    void wheelEvent(QWheelEvent* event) override
    {
        m_owner->wheel(event->angleDelta().y());
        event->accept();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QTableView::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
            Q_EMIT m_owner->rowActivated();
    }

    void contextMenuEvent(QContextMenuEvent* event) override
    {
        // The menu acts on the row under the mouse: highlight it first.
        if (const QModelIndex at = indexAt(event->pos()); at.isValid())
            m_owner->run(m_owner->m_model->setCurrentRow(at.row()));
        Q_EMIT m_owner->contextMenuRequested(event->globalPos());
        event->accept();
    }

    // The rows that fit change with the viewport, which the header and the horizontal bar
    // share with the rows.
    bool viewportEvent(QEvent* event) override
    {
        const bool handled = QTableView::viewportEvent(event);
        if (event->type() == QEvent::Resize)
            m_owner->fitPageSize();
        return handled;
    }

private:
    ListView* m_owner;
};

ListView::ListView(ListModel* model, QWidget* parent)
    : QWidget(parent), m_model(model), m_table(new ListTable(this)),
      m_bar(new QScrollBar(Qt::Vertical, this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table);
    layout->addWidget(m_bar);
    setFocusProxy(m_table);

    m_table->setModel(model);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAutoScroll(false);
    m_table->setWordWrap(false);
    m_table->setShowGrid(false);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setHighlightSections(false);
    applyColumnWidths();

    m_bar->setRange(0, kScrollRange);
    m_bar->setSingleStep(1);
    m_bar->setPageStep(kScrollRange / 10);

    connect(m_model, &ListModel::placeChanged, this, &ListView::showPlace);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!m_showing && current.isValid())
                    run(m_model->setCurrentRow(current.row()));
            });
    connect(m_bar, &QScrollBar::actionTriggered, this, &ListView::barAction);
    connect(m_bar, &QScrollBar::sliderMoved, this,
            [this](int value) { run(m_model->locateFraction(double(value) / kScrollRange)); });
    connect(m_bar, &QScrollBar::sliderReleased, this, &ListView::showPlace);
}

ListView::~ListView() = default;

QTableView* ListView::rows() const
{
    return m_table;
}

void ListView::applyColumnWidths()
{
    const DialogUnits units(font());
    const std::vector<ListColumn>& columns = m_model->columns();
    std::vector<int> indents;
    for (size_t i = 0; i < columns.size(); ++i) {
        m_table->setColumnWidth(static_cast<int>(i), units.x(columns[i].width));
        indents.push_back(units.x(columns[i].indent));
    }
    m_table->setItemDelegate(new ListDelegate(std::move(indents), m_table));
    // A line of text and a small icon, with a little air.
    m_table->verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), 16) + 4);
}

int ListView::visibleRows() const
{
    const int rowHeight = std::max(1, m_table->verticalHeader()->defaultSectionSize());
    return std::max(1, m_table->viewport()->height() / rowHeight);
}

void ListView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitPageSize();
}

void ListView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyColumnWidths();
        fitPageSize();
    }
}

void ListView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fitPageSize();
}

void ListView::run(const store::Status& status)
{
    if (!status.ok())
        Q_EMIT readFailed(status.error());
}

void ListView::fitPageSize()
{
    const int rows = visibleRows();
    if (rows != m_model->pageSize())
        run(m_model->setPageSize(rows));
    showPlace();
}

void ListView::showPlace()
{
    m_showing = true;
    m_table->showFrom(m_model->topRow());
    QItemSelectionModel* selection = m_table->selectionModel();
    const int current = m_model->currentRow();
    if (current >= 0)
        selection->setCurrentIndex(m_model->index(current, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        selection->clear();
    if (!m_bar->isSliderDown())
        m_bar->setSliderPosition(
            static_cast<int>(std::lround(m_model->thumbFraction() * kScrollRange)));
    m_showing = false;
}

void ListView::barAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        run(m_model->scrollLines(1));
        break;
    case QAbstractSlider::SliderSingleStepSub:
        run(m_model->scrollLines(-1));
        break;
    case QAbstractSlider::SliderPageStepAdd:
        run(m_model->pageDown());
        break;
    case QAbstractSlider::SliderPageStepSub:
        run(m_model->pageUp());
        break;
    case QAbstractSlider::SliderToMinimum:
        run(m_model->fillFromTop());
        break;
    case QAbstractSlider::SliderToMaximum:
        run(m_model->fillFromEnd());
        break;
    default:
        return; // a drag locates as the thumb moves
    }
    // The bar applies its own step after this; the model's place wins.
    showPlace();
}

bool ListView::handleKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
        run(m_model->lineUp());
        return true;
    case Qt::Key_Down:
        run(m_model->lineDown());
        return true;
    case Qt::Key_PageUp:
        run(m_model->pageUp());
        return true;
    case Qt::Key_PageDown:
        run(m_model->pageDown());
        return true;
    case Qt::Key_Home:
        run(m_model->fillFromTop());
        return true;
    case Qt::Key_End:
        run(m_model->fillFromEnd());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_model->currentRow() >= 0)
            Q_EMIT rowActivated();
        return true;
    case Qt::Key_Insert:
        Q_EMIT insertPressed();
        return true;
    case Qt::Key_Delete:
        Q_EMIT deletePressed();
        return true;
    default:
        return false;
    }
}

void ListView::wheel(int angleDelta)
{
    m_wheelRest += angleDelta;
    const int steps = m_wheelRest / 120;
    m_wheelRest -= steps * 120;
    if (steps != 0)
        run(m_model->scrollLines(-steps * kWheelLines));
}

} // namespace qly
