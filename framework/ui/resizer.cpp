#include "ui/resizer.h"

#include "ui/dialog_units.h"

#include <cmath>
#include <QApplication>
#include <QWidget>

namespace qly {

namespace {

// position * now / design, rounded; a design length of zero leaves the position as it is.
int stretched(int position, int now, int design)
{
    if (design <= 0)
        return position;
    return static_cast<int>(std::lround(static_cast<double>(position) * now / design));
}

} // namespace

Resizer::Resizer(QSize designUnits, QWidget* parent) : QLayout(parent), m_design(designUnits)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

Resizer::~Resizer()
{
    for (const Entry& entry : m_entries)
        delete entry.item;
}

void Resizer::addControl(QWidget* control, QRect designUnits)
{
    addChildWidget(control);
    m_entries.push_back({new QWidgetItem(control), designUnits});
    invalidate();
}

void Resizer::addItem(QLayoutItem* item)
{
    m_entries.push_back({item, QRect()});
    invalidate();
}

int Resizer::count() const
{
    return static_cast<int>(m_entries.size());
}

QLayoutItem* Resizer::itemAt(int index) const
{
    return index >= 0 && index < count() ? m_entries[static_cast<size_t>(index)].item : nullptr;
}

QLayoutItem* Resizer::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = m_entries[static_cast<size_t>(index)].item;
    m_entries.erase(m_entries.begin() + index);
    invalidate();
    return item;
}

QSize Resizer::sizeHint() const
{
    return minimumSize();
}

QSize Resizer::minimumSize() const
{
    return units().size(m_design);
}

Qt::Orientations Resizer::expandingDirections() const
{
    return Qt::Horizontal | Qt::Vertical;
}

void Resizer::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const DialogUnits du = units();
    const QSize design = du.size(m_design);
    for (const Entry& entry : m_entries) {
        const QRect at = du.rect(entry.design);
        const int left = stretched(at.left(), rect.width(), design.width());
        const int top = stretched(at.top(), rect.height(), design.height());
        const int right = stretched(at.x() + at.width(), rect.width(), design.width());
        const int bottom = stretched(at.y() + at.height(), rect.height(), design.height());
        const QRect placed(rect.x() + left, rect.y() + top, right - left, bottom - top);
        // A widget goes exactly where its design puts it; the plain item would hold a push
        // button to its preferred height.
        if (QWidget* control = entry.item->widget())
            control->setGeometry(placed);
        else
            entry.item->setGeometry(placed);
    }
}

DialogUnits Resizer::units() const
{
    const QWidget* owner = parentWidget();
    return DialogUnits(owner ? owner->font() : QApplication::font());
}

} // namespace qly
