#pragma once
// The list widget over a ListModel: rows in columns, and a scroll bar of its own.
//
// The rows' table view shows just the model's rows around the screen, so its own scroll bar
// would tell nothing about the whole list; it is hidden. Beside it stands a bar with a fixed
// range (0 to kScrollRange) whose thumb the model places by the key values of the top row, and
// dragging the thumb locates the list at the key values there. Keys, the wheel and the bar's
// arrows and page areas become the model's moves, each costing the same in any list.
//
// The list acts on nothing itself: it tells the window that a row was activated (double-click,
// Enter, Ctrl+Enter), that Insert or Delete was pressed, that the context menu is wanted (after
// highlighting the row under the mouse), that text was typed (for the window's type-ahead), and
// that a read failed, for the window to report.

#include "store/store_error.h"

#include <QWidget>

class QScrollBar;
class QTableView;

namespace qly {

class ListModel;
class ListTable;

class ListView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kScrollRange = 1000;
    static constexpr int kWheelLines = 3;

    explicit ListView(ListModel* model, QWidget* parent = nullptr);
    ~ListView() override;

    ListModel* model() const { return m_model; }
    QTableView* rows() const;
    QScrollBar* scrollBar() const { return m_bar; }

    // Column widths from the model's columns, in dialog units of this widget's font.
    void applyColumnWidths();
    // Rows that fit fully in the visible area.
    int visibleRows() const;

Q_SIGNALS:
    void rowActivated();
    void insertPressed();
    void deletePressed();
    void contextMenuRequested(QPoint globalPosition);
    // Printable text, or "\b" for Backspace.
    void textTyped(const QString& text);
    void readFailed(const qly::store::StoreError& error);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override; // a new font: new column widths and row height

private:
    friend class ListTable;
    // Runs one of the model's moves and reports a failed read.
    void run(const store::Status& status);
    void fitPageSize();
    // Shows the model's place: the top row, the highlight and the thumb.
    void showPlace();
    void barAction(int action);
    bool handleKey(int key);
    void wheel(int angleDelta);

    ListModel* m_model;
    ListTable* m_table;
    QScrollBar* m_bar;
    bool m_showing = false;
    int m_wheelRest = 0;
};

} // namespace qly
