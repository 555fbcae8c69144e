#include "ui/controls.h"

#include <QVariant>
#include <QWidget>

namespace qly {

namespace {

constexpr const char* helpKeywordProperty = "qlyHelpKeyword";

template <class Read> QString nearest(const QWidget* widget, Read read)
{
    for (const QWidget* at = widget; at; at = at->isWindow() ? nullptr : at->parentWidget()) {
        const QString found = read(at);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

} // namespace

void describeControl(QWidget* control, const ControlText& info)
{
    control->setObjectName(info.name);
    control->setToolTip(info.toolTip);
    control->setStatusTip(info.statusText);
    setHelpKeyword(control, info.helpKeyword);
}

void setHelpKeyword(QWidget* widget, const QString& keyword)
{
    widget->setProperty(helpKeywordProperty, keyword);
}

QString helpKeywordOf(const QWidget* widget)
{
    return nearest(widget,
                   [](const QWidget* at) { return at->property(helpKeywordProperty).toString(); });
}

QString statusTextOf(const QWidget* widget)
{
    return nearest(widget, [](const QWidget* at) { return at->statusTip(); });
}

} // namespace qly
