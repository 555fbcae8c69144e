// Dialog units and the resizer, with real widgets in a fixed font.

#include "ui/dialog_units.h"
#include "ui/resizer.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace qly;

namespace {

QFont monospace(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(pixels);
    return font;
}

QFont proportional(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

QRect doubled(QRect r)
{
    return QRect(2 * r.x(), 2 * r.y(), 2 * r.width(), 2 * r.height());
}

// A window laid out by a resizer: a label, a line edit and two push buttons, as a note
// window would have them.
struct DesignedWindow
{
    explicit DesignedWindow(const QFont& font)
    {
        window.setFont(font);
        resizer = new Resizer(QSize(160, 60), &window);
        const auto add = [this](QWidget* control, QRect design) {
            resizer->addControl(control, design);
            controls.append({control, design});
        };
        add(new QLabel(QStringLiteral("Topic:")), QRect(5, 6, 30, 8));
        add(new QLineEdit, QRect(37, 5, 118, 12));
        add(new QPushButton(QStringLiteral("OK")), QRect(50, 40, 50, 14));
        add(new QPushButton(QStringLiteral("Cancel")), QRect(105, 40, 50, 14));
    }

    QWidget window;
    Resizer* resizer;
    QList<QPair<QWidget*, QRect>> controls;
};

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unitsFollowTheFont_data();
    void unitsFollowTheFont();
    void adjacentRectanglesShareAnEdge();

    void controlsSitAtTheirDesignAtDesignSize();
    void controlsScaleWithTheWindow();
    void designSizeIsTheMinimum();
    void aLargerFontMakesALargerWindow();
};

void LayoutTest::unitsFollowTheFont_data()
{
    QTest::addColumn<int>("pixels");

    QTest::newRow("a 10 pixel font") << 10;
    QTest::newRow("a 13 pixel font") << 13;
    QTest::newRow("a 24 pixel font") << 24;
}

void LayoutTest::unitsFollowTheFont()
{
    // In a monospace font every letter is the average letter: four units are one character
    // across, eight units one line down.
    QFETCH(int, pixels);
    const QFont font = monospace(pixels);
    const QFontMetrics metrics(font);
    const DialogUnits units(font);
    const int tenCharacters = metrics.horizontalAdvance(QStringLiteral("MMMMMMMMMM"));
    QVERIFY2(qAbs(units.x(40) - tenCharacters) <= 1,
             qPrintable(QStringLiteral("40 units are %1 pixels, 10 characters %2")
                            .arg(units.x(40))
                            .arg(tenCharacters)));
    QCOMPARE(units.y(8), metrics.height());
    QCOMPARE(units.y(80), 10 * metrics.height());
    QCOMPARE(units.size(QSize(40, 8)), QSize(units.x(40), metrics.height()));
    QCOMPARE(units.x(0), 0);
}

void LayoutTest::adjacentRectanglesShareAnEdge()
{
    // Converting width and height on their own would let rounding open gaps or overlaps.
    const DialogUnits units(proportional(13));
    for (int left = 0; left < 120; ++left) {
        const QRect first = units.rect(QRect(left, left, 7, 5));
        const QRect next = units.rect(QRect(left + 7, left + 5, 7, 5));
        if (first.right() + 1 != next.left() || first.bottom() + 1 != next.top())
            QFAIL(qPrintable(QStringLiteral("at %1 units: %2,%3 then %4,%5")
                                 .arg(left)
                                 .arg(first.right())
                                 .arg(first.bottom())
                                 .arg(next.left())
                                 .arg(next.top())));
    }
}

void LayoutTest::controlsSitAtTheirDesignAtDesignSize()
{
    DesignedWindow designed(proportional(13));
    designed.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&designed.window));
    const DialogUnits units(designed.window.font());
    QCOMPARE(designed.window.size(), units.size(QSize(160, 60)));
    for (const auto& [control, design] : designed.controls)
        QCOMPARE(control->geometry(), units.rect(design));
}

void LayoutTest::controlsScaleWithTheWindow()
{
    DesignedWindow designed(proportional(13));
    designed.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&designed.window));
    const DialogUnits units(designed.window.font());
    designed.window.resize(2 * units.size(QSize(160, 60)));
    QTRY_COMPARE(designed.controls.front().first->geometry(),
                 doubled(units.rect(designed.controls.front().second)));
    // Push buttons too grow in height, past the height they would choose themselves.
    for (const auto& [control, design] : designed.controls)
        QCOMPARE(control->geometry(), doubled(units.rect(design)));
}

void LayoutTest::designSizeIsTheMinimum()
{
    DesignedWindow designed(proportional(13));
    designed.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&designed.window));
    const QSize design = DialogUnits(designed.window.font()).size(QSize(160, 60));
    QCOMPARE(designed.window.minimumSize(), design);
    designed.window.resize(design / 2);
    QCOMPARE(designed.window.size(), design);
}

void LayoutTest::aLargerFontMakesALargerWindow()
{
    DesignedWindow designed(proportional(10));
    designed.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&designed.window));
    const QSize small = designed.window.minimumSize();
    designed.window.setFont(proportional(20));
    const QSize large = DialogUnits(proportional(20)).size(QSize(160, 60));
    QTRY_COMPARE(designed.window.minimumSize(), large);
    QVERIFY(large.width() > small.width() * 3 / 2);
    QCOMPARE(designed.controls.back().first->geometry(),
             DialogUnits(proportional(20)).rect(designed.controls.back().second));
}

int runLayoutTests(int argc, char** argv)
{
    LayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_layout.moc"
