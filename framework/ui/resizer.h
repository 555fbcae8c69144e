#pragma once
// The resizer: a layout that keeps a window's controls where its design puts them. Each control
// has a design rectangle in dialog units (see dialog_units.h) inside a design size; the layout
// places it at that rectangle scaled in proportion to the space it is given now, so a window
// twice the design size shows every control twice as large and twice as far from the corner.
// The design size, in the font's pixels, is the least space the layout accepts: on a window it
// becomes the window's minimum size.
//
// Units come from the font of the widget the layout is set on, at the moment it is laid out.
// Widgets added through the plain QLayout calls get an empty rectangle (they are not shown).

#include <QLayout>
#include <QRect>
#include <QSize>
#include <vector>

namespace qly {

class DialogUnits;

class Resizer : public QLayout
{
    Q_OBJECT

public:
    explicit Resizer(QSize designUnits, QWidget* parent = nullptr);
    ~Resizer() override;

    void addControl(QWidget* control, QRect designUnits);
    QSize designUnits() const { return m_design; }

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry
    {
        QLayoutItem* item;
        QRect design;
    };
    DialogUnits units() const;

    QSize m_design;
    std::vector<Entry> m_entries;
};

} // namespace qly
