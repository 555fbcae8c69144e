#include "ui/dialog_units.h"

#include <cmath>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>

namespace qly {

namespace {

const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

int scaled(int units, int numerator, int denominator)
{
    return static_cast<int>(std::lround(static_cast<double>(units) * numerator / denominator));
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) : DialogUnits(QFontMetrics(font)) {}

DialogUnits::DialogUnits(const QFontMetrics& metrics)
    : m_letterRun(metrics.horizontalAdvance(letters)), m_height(metrics.height())
{
}

int DialogUnits::x(int units) const
{
    // units * (run / 52) / 4
    return scaled(units, m_letterRun, 52 * 4);
}

int DialogUnits::y(int units) const
{
    return scaled(units, m_height, 8);
}

QSize DialogUnits::size(QSize units) const
{
    return QSize(x(units.width()), y(units.height()));
}

QRect DialogUnits::rect(QRect units) const
{
    const int left = x(units.x());
    const int top = y(units.y());
    return QRect(left, top, x(units.x() + units.width()) - left,
                 y(units.y() + units.height()) - top);
}

QFont windowFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

} // namespace qly
