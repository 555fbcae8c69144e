#pragma once
// Dialog units: the measure window layouts are drawn in, so that a layout grows with its font.
//
//   average character width  w = horizontalAdvance("A".."Z" "a".."z") / 52   (not rounded)
//   character height         h = QFontMetrics::height()                      (ascent + descent)
//   n horizontal units       = round(n * w / 4) pixels
//   n vertical units         = round(n * h / 8) pixels
//
// Rectangles convert edge by edge (left and right edges, then width = right - left), so
// controls that touch in units touch in pixels and never overlap through rounding.

#include <QRect>
#include <QSize>

class QFont;
class QFontMetrics;

namespace qly {

class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);
    explicit DialogUnits(const QFontMetrics& metrics);

    int x(int units) const; // horizontal units to pixels
    int y(int units) const; // vertical units to pixels
    QSize size(QSize units) const;
    QRect rect(QRect units) const;

private:
    int m_letterRun = 0; // pixels across the 52 letters
    int m_height = 0;
};

// The font the windows are laid out in, "MS Sans Serif" 8 point: the desktop's general font at
// 8 points stands in for it.
QFont windowFont();

} // namespace qly
