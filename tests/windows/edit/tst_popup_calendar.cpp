// The pop-up calendar driven by its keys, fields and cells: how each month fills the grid, which
// day is drawn sunken, the "Date Out Of Range" boxes at both ends of the calendar, what a click
// picks and the ways of leaving without a pick, and the window itself (names, layout, modality,
// centring).

#include "core/clock.h"
#include "core/dates.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"
#include "ui/dialog_units.h"
#include "ui/procedure_window.h"
#include "ui/screens.h"
#include "windows/edit/popup_calendar.h"

#include <optional>
#include <QDate>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

using namespace qly;
using namespace qly::test;

namespace {

using Pick = std::optional<DayCount>;

const QRect kScreen(0, 0, 1024, 768);

class OneScreen final : public ScreenSource
{
public:
    QList<QRect> availableGeometries() const override { return {kScreen}; }
};

ProcedureWindow* calendarWindow()
{
    for (ProcedureWindow* window : ProcedureWindow::runningWindows()) {
        if (window->procedure() == QLatin1String("PopupCalendar"))
            return window;
    }
    return nullptr;
}

template <class Control> Control* control(QWidget* window, const QString& name)
{
    return window->findChild<Control*>(name);
}

QWidget* region(QWidget* window, int cell)
{
    return control<QFrame>(window, QStringLiteral("?REGION%1").arg(cell));
}

QString cellText(QWidget* window, int cell)
{
    return control<QLabel>(window, QStringLiteral("?STRING%1").arg(cell))->text();
}

// The day number in each of the 37 cells, 0 for a blank one.
QList<int> grid(QWidget* window)
{
    QList<int> days;
    for (int cell = 1; cell <= 37; ++cell)
        days.append(cellText(window, cell).trimmed().toInt());
    return days;
}

// The cells drawn sunken.
QList<int> sunkenCells(QWidget* window)
{
    QList<int> cells;
    for (int cell = 1; cell <= 37; ++cell) {
        const auto* frame = control<QFrame>(window, QStringLiteral("?REGION%1").arg(cell));
        if (frame->frameShadow() == QFrame::Sunken)
            cells.append(cell);
    }
    return cells;
}

QList<int> expectedGrid(int leading, int days)
{
    QList<int> cells(37, 0);
    for (int day = 1; day <= days; ++day)
        cells[leading + day - 1] = day;
    return cells;
}

int field(QWidget* window, const char* name)
{
    return control<QSpinBox>(window, QLatin1String(name))->value();
}

// Types text into a spin field and commits it with Enter, as a user does.
void typeInto(QWidget* window, const char* name, const QString& text)
{
    auto* spin = control<QSpinBox>(window, QLatin1String(name));
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, Qt::Key_Return);
}

void click(QWidget* widget, Qt::MouseButton button)
{
    QTest::mouseClick(widget, button, {}, widget->rect().center());
}

enum class Leaving
{
    EscapeOnTheGrid,
    EscapeInTheYearField,
    RightButtonOnADay,
    RightButtonOnTheMonthField,
    CloseBox,
    WindowDeleted
};

const QString kBefore =
    QStringLiteral("You cannot use the calendar for|dates before the year 1801");
const QString kAfter = QStringLiteral("You cannot use the calendar for|dates after the year 2099");

} // namespace

Q_DECLARE_METATYPE(Leaving)

class PopupCalendarTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensOnTodaysMonthWithoutAStartDate();
    void fillsTheMonth_data();
    void fillsTheMonth();
    void keysMoveByMonthAndYear_data();
    void keysMoveByMonthAndYear();
    void fieldsSetTheMonthAndYear_data();
    void fieldsSetTheMonthAndYear();
    void fieldArrowsStepLikeTyping();
    void sunkenDayFollowsTheStartDate_data();
    void sunkenDayFollowsTheStartDate();
    void clickingADayPicksIt_data();
    void clickingADayPicksIt();
    void clickingABlankCellDoesNothing();
    void leavingWithoutAPick_data();
    void leavingWithoutAPick();
    void windowHasItsControlsWhereTheDesignPutsThem();
    void isModalToItsCallerAndCentred();

private:
    ProcedureWindow* open(QDate start, QWidget* caller = nullptr);

    FixedClock m_clock{QDate(2004, 5, 15)};
    OneScreen m_screens;
    ScriptedPresenter m_presenter;
    std::optional<Thread> m_thread;
    std::optional<TaskRunner<Pick>> m_run;
};

void PopupCalendarTest::init()
{
    m_clock.set(QDate(2004, 5, 15));
    setClock(&m_clock);
    m_presenter.clear();
    m_thread.emplace(QStringLiteral("main"));
}

void PopupCalendarTest::cleanup()
{
    // A window left open by a failed check.
    if (ProcedureWindow* window = calendarWindow())
        window->finish(Response::Cancelled);
    if (m_run)
        QTRY_VERIFY(m_run->done());
    QTRY_COMPARE(liveProcedures(), 0); // the range boxes
    m_run.reset();
    m_thread.reset();
    setClock(nullptr);
}

ProcedureWindow* PopupCalendarTest::open(QDate start, QWidget* caller)
{
    const WindowServices services{nullptr, &m_screens, nullptr};
    m_run.emplace(popupCalendar(services, &m_presenter, *m_thread,
                                start.isValid() ? fromQDate(start) : 0, QPointer<QWidget>(caller)));
    ProcedureWindow* window = calendarWindow();
    if (window && !QTest::qWaitForWindowExposed(window))
        return nullptr;
    return window;
}

void PopupCalendarTest::opensOnTodaysMonthWithoutAStartDate()
{
    ProcedureWindow* window = open(QDate());
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("May 2004"));
    QCOMPARE(cellText(window, 7), QStringLiteral("1"));
    // Single digits stand alone in the first row only.
    QCOMPARE(cellText(window, 8), QStringLiteral(" 2"));
    QCOMPARE(cellText(window, 14), QStringLiteral(" 8"));
    QCOMPARE(cellText(window, 15), QStringLiteral(" 9"));
    QCOMPARE(cellText(window, 16), QStringLiteral("10"));
    QCOMPARE(sunkenCells(window), QList<int>{21});
    QCOMPARE(field(window, "?MONTHNUMBER"), 5);
    QCOMPARE(field(window, "?YEARNUMBER"), 2004);

    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Pick());
}

void PopupCalendarTest::fillsTheMonth_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("leading");
    QTest::addColumn<int>("days");

    QTest::newRow("February 2009 fills cells 1 to 28")
        << QDate(2009, 2, 10) << "February 2009" << 0 << 28;
    QTest::newRow("May 2004 ends in cells 36 and 37")
        << QDate(2004, 5, 15) << "May 2004" << 6 << 31;
    QTest::newRow("February 2000 has 29 days") << QDate(2000, 2, 29) << "February 2000" << 2 << 29;
    QTest::newRow("February 2004 has 29 days") << QDate(2004, 2, 3) << "February 2004" << 0 << 29;
    QTest::newRow("February 1900 has 28 days") << QDate(1900, 2, 28) << "February 1900" << 4 << 28;
    QTest::newRow("February 2001 has 28 days") << QDate(2001, 2, 1) << "February 2001" << 4 << 28;
    QTest::newRow("April has 30 days") << QDate(2004, 4, 30) << "April 2004" << 4 << 30;
    QTest::newRow("a start in 1800 shows its month unchecked")
        << QDate(1800, 12, 29) << "December 1800" << 1 << 31;
    QTest::newRow("a start after 2099 shows its month unchecked")
        << QDate(2150, 7, 4) << "July 2150" << 3 << 31;
}

void PopupCalendarTest::fillsTheMonth()
{
    QFETCH(QDate, start);
    QFETCH(QString, caption);
    QFETCH(int, leading);
    QFETCH(int, days);

    ProcedureWindow* window = open(start);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(grid(window), expectedGrid(leading, days));
    QCOMPARE(sunkenCells(window), QList<int>{leading + start.day()});
    QCOMPARE(field(window, "?MONTHNUMBER"), start.month());
    QCOMPARE(field(window, "?YEARNUMBER"), start.year());
    QVERIFY(m_presenter.shown().empty()); // no range check on opening
}

void PopupCalendarTest::keysMoveByMonthAndYear_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("target"); // the control the key is pressed in
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("box"); // the range box's text, empty for none

    const QDate may2004(2004, 5, 15);
    QTest::newRow("Left is a month back") << may2004 << int(Qt::Key_Left) << "?REGION9"
                                          << "April 2004" << QString();
    QTest::newRow("Up in the month field is a month back, not a step")
        << may2004 << int(Qt::Key_Up) << "?MONTHNUMBER"
        << "April 2004" << QString();
    QTest::newRow("Right is a month on") << may2004 << int(Qt::Key_Right) << "?YEARNUMBER"
                                         << "June 2004" << QString();
    QTest::newRow("Down in the year field is a month on, not a step")
        << may2004 << int(Qt::Key_Down) << "?YEARNUMBER"
        << "June 2004" << QString();
    QTest::newRow("Page Up is a year back") << may2004 << int(Qt::Key_PageUp) << "?MONTHNUMBER"
                                            << "May 2003" << QString();
    QTest::newRow("Page Down is a year on") << may2004 << int(Qt::Key_PageDown) << "?REGION1"
                                            << "May 2005" << QString();
    QTest::newRow("Right on December 2004 is January 2005")
        << QDate(2004, 12, 1) << int(Qt::Key_Right) << "?REGION1"
        << "January 2005" << QString();
    QTest::newRow("Left on January 2004 is December 2003")
        << QDate(2004, 1, 1) << int(Qt::Key_Left) << "?REGION1"
        << "December 2003" << QString();
    QTest::newRow("Right on December 2099 stays in 2099 with a box")
        << QDate(2099, 12, 15) << int(Qt::Key_Right) << "?REGION1"
        << "January 2099" << kAfter;
    QTest::newRow("Left on January 1801 stays in 1801 with a box")
        << QDate(1801, 1, 15) << int(Qt::Key_Left) << "?REGION1"
        << "December 1801" << kBefore;
    QTest::newRow("Page Up in 1801 keeps the month with a box")
        << QDate(1801, 6, 15) << int(Qt::Key_PageUp) << "?REGION1"
        << "June 1801" << kBefore;
    QTest::newRow("Page Down from a start after 2099 comes back to 2099")
        << QDate(2150, 7, 4) << int(Qt::Key_PageDown) << "?REGION1"
        << "July 2099" << kAfter;
}

void PopupCalendarTest::keysMoveByMonthAndYear()
{
    QFETCH(QDate, start);
    QFETCH(int, key);
    QFETCH(QString, target);
    QFETCH(QString, caption);
    QFETCH(QString, box);

    ProcedureWindow* window = open(start);
    QVERIFY(window);
    QWidget* pressedIn = control<QWidget>(window, target);
    QVERIFY(pressedIn);
    QTest::keyClick(pressedIn, Qt::Key(key));

    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(window->isVisible()); // the calendar stays open, under any box
    const QDate shown = QDate::fromString(caption, QStringLiteral("MMMM yyyy"));
    QCOMPARE(field(window, "?MONTHNUMBER"), shown.month());
    QCOMPARE(field(window, "?YEARNUMBER"), shown.year());
    QCOMPARE(grid(window), expectedGrid(QDate(shown.year(), shown.month(), 1).dayOfWeek() % 7,
                                        shown.daysInMonth()));
    if (box.isEmpty()) {
        QVERIFY(m_presenter.shown().empty());
        return;
    }
    QTRY_COMPARE(m_presenter.shown().size(), std::size_t(1));
    const MessageBoxSpec& shownBox = m_presenter.shown().front();
    QCOMPARE(shownBox.title, QStringLiteral("Date Out Of Range"));
    QCOMPARE(shownBox.text, box);
    QCOMPARE(shownBox.icon, MessageIcon::Information);
    QCOMPARE(shownBox.buttons, std::vector<MessageButton>{MessageButton::Ok});
    QCOMPARE(shownBox.defaultButton, MessageButton::Ok);
}

void PopupCalendarTest::fieldsSetTheMonthAndYear_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("box");

    // On May 2004.
    QTest::newRow("month 7") << "?MONTHNUMBER"
                             << "7"
                             << "July 2004" << QString();
    QTest::newRow("month 0 is December of the year before") << "?MONTHNUMBER"
                                                            << "0"
                                                            << "December 2003" << QString();
    QTest::newRow("month -5 is December of the year before too") << "?MONTHNUMBER"
                                                                 << "-5"
                                                                 << "December 2003" << QString();
    QTest::newRow("month 13 is January of the next year") << "?MONTHNUMBER"
                                                          << "13"
                                                          << "January 2005" << QString();
    QTest::newRow("month 40 is only one step on: January of the next year")
        << "?MONTHNUMBER"
        << "40"
        << "January 2005" << QString();
    QTest::newRow("year 2010") << "?YEARNUMBER"
                               << "2010"
                               << "May 2010" << QString();
    QTest::newRow("year 1700 is 1801 with a box") << "?YEARNUMBER"
                                                  << "1700"
                                                  << "May 1801" << kBefore;
    QTest::newRow("year 123456 is 2099 with a box") << "?YEARNUMBER"
                                                    << "123456"
                                                    << "May 2099" << kAfter;
}

void PopupCalendarTest::fieldsSetTheMonthAndYear()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    QFETCH(QString, box);

    ProcedureWindow* window = open(QDate(2004, 5, 15));
    QVERIFY(window);
    typeInto(window, fieldName.toLatin1().constData(), typed);

    QCOMPARE(window->windowTitle(), caption);
    const QDate shown = QDate::fromString(caption, QStringLiteral("MMMM yyyy"));
    // The fields show where the calendar went, not what was typed.
    QCOMPARE(field(window, "?MONTHNUMBER"), shown.month());
    QCOMPARE(field(window, "?YEARNUMBER"), shown.year());
    QCOMPARE(grid(window), expectedGrid(QDate(shown.year(), shown.month(), 1).dayOfWeek() % 7,
                                        shown.daysInMonth()));
    QStringList texts;
    for (const MessageBoxSpec& shownBox : m_presenter.shown())
        texts << shownBox.text;
    QCOMPARE(texts, box.isEmpty() ? QStringList() : QStringList{box});
}

void PopupCalendarTest::fieldArrowsStepLikeTyping()
{
    ProcedureWindow* window = open(QDate(2004, 12, 15));
    QVERIFY(window);
    auto* month = control<QSpinBox>(window, QStringLiteral("?MONTHNUMBER"));
    auto* year = control<QSpinBox>(window, QStringLiteral("?YEARNUMBER"));
    month->stepBy(1);
    QCOMPARE(window->windowTitle(), QStringLiteral("January 2005"));
    QCOMPARE(month->value(), 1);
    year->stepBy(-1);
    QCOMPARE(window->windowTitle(), QStringLiteral("January 2004"));
    QCOMPARE(year->value(), 2004);
    QVERIFY(m_presenter.shown().empty());
}

void PopupCalendarTest::sunkenDayFollowsTheStartDate_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("sunkenDay"); // 0 for none

    const QDate leapDay(2004, 2, 29);
    QTest::newRow("29 February 2004 a year on: nothing sunken in February 2005")
        << leapDay << int(Qt::Key_PageDown) << 1 << "February 2005" << 0;
    QTest::newRow("29 February 2004 four years on: the 29th sunken in February 2008")
        << leapDay << int(Qt::Key_PageDown) << 4 << "February 2008" << 29;
    QTest::newRow("31 January a month on: nothing sunken in February")
        << QDate(2004, 1, 31) << int(Qt::Key_Right) << 1 << "February 2004" << 0;
    QTest::newRow("31 January two months on: the 31st sunken in March")
        << QDate(2004, 1, 31) << int(Qt::Key_Right) << 2 << "March 2004" << 31;
    QTest::newRow("31 January three months on: nothing sunken in April")
        << QDate(2004, 1, 31) << int(Qt::Key_Right) << 3 << "April 2004" << 0;
    QTest::newRow("the 15th stays sunken in another month")
        << QDate(2004, 5, 15) << int(Qt::Key_Left) << 1 << "April 2004" << 15;
}

void PopupCalendarTest::sunkenDayFollowsTheStartDate()
{
    QFETCH(QDate, start);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, caption);
    QFETCH(int, sunkenDay);

    ProcedureWindow* window = open(start);
    QVERIFY(window);
    for (int press = 0; press < presses; ++press)
        QTest::keyClick(window, Qt::Key(key));
    QCOMPARE(window->windowTitle(), caption);
    const QList<int> days = grid(window);
    QCOMPARE(sunkenCells(window),
             sunkenDay ? QList<int>{int(days.indexOf(sunkenDay)) + 1} : QList<int>());
}

void PopupCalendarTest::clickingADayPicksIt_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("key"); // pressed once before the click, 0 for none
    QTest::addColumn<int>("day"); // the number on the cell clicked
    QTest::addColumn<QDate>("picked");

    QTest::newRow("the cell with 8 is 8 May 2004")
        << QDate(2004, 5, 15) << 0 << 8 << QDate(2004, 5, 8);
    QTest::newRow("the 31st in the last cell is 31 May 2004")
        << QDate(2004, 5, 15) << 0 << 31 << QDate(2004, 5, 31);
    QTest::newRow("the 1st in the first cell is 1 February 2009")
        << QDate(2009, 2, 10) << 0 << 1 << QDate(2009, 2, 1);
    QTest::newRow("the cell with 8 a year on is 8 May 2005, of the month shown")
        << QDate(2004, 5, 15) << int(Qt::Key_PageDown) << 8 << QDate(2005, 5, 8);
    QTest::newRow("the cell with 8 a month back is 8 April 2004")
        << QDate(2004, 5, 15) << int(Qt::Key_Left) << 8 << QDate(2004, 4, 8);
}

void PopupCalendarTest::clickingADayPicksIt()
{
    QFETCH(QDate, start);
    QFETCH(int, key);
    QFETCH(int, day);
    QFETCH(QDate, picked);

    ProcedureWindow* window = open(start);
    QVERIFY(window);
    if (key)
        QTest::keyClick(window, Qt::Key(key));
    const qsizetype cell = grid(window).indexOf(day) + 1;
    QVERIFY(cell > 0);
    click(region(window, int(cell)), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Pick(fromQDate(picked)));
    QVERIFY(!calendarWindow());
}

void PopupCalendarTest::clickingABlankCellDoesNothing()
{
    ProcedureWindow* window = open(QDate(2004, 5, 15));
    QVERIFY(window);
    QVERIFY(cellText(window, 6).isEmpty());
    click(region(window, 6), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(!m_run->done());
    QVERIFY(window->isRunning());
    QCOMPARE(window->windowTitle(), QStringLiteral("May 2004"));

    window->finish(Response::Cancelled);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Pick());
}

void PopupCalendarTest::leavingWithoutAPick_data()
{
    QTest::addColumn<Leaving>("leaving");

    QTest::newRow("Esc on the grid") << Leaving::EscapeOnTheGrid;
    QTest::newRow("Esc in the year field") << Leaving::EscapeInTheYearField;
    QTest::newRow("the right button on a day") << Leaving::RightButtonOnADay;
    QTest::newRow("the right button on the month field") << Leaving::RightButtonOnTheMonthField;
    QTest::newRow("the close box") << Leaving::CloseBox;
    QTest::newRow("the window deleted by its caller") << Leaving::WindowDeleted;
}

void PopupCalendarTest::leavingWithoutAPick()
{
    QFETCH(Leaving, leaving);

    ProcedureWindow* window = open(QDate(2004, 5, 15));
    QVERIFY(window);
    switch (leaving) {
    case Leaving::EscapeOnTheGrid:
        QTest::keyClick(region(window, 20), Qt::Key_Escape);
        break;
    case Leaving::EscapeInTheYearField:
        QTest::keyClick(control<QSpinBox>(window, QStringLiteral("?YEARNUMBER")), Qt::Key_Escape);
        break;
    case Leaving::RightButtonOnADay:
        click(region(window, 20), Qt::RightButton);
        break;
    case Leaving::RightButtonOnTheMonthField:
        click(control<QSpinBox>(window, QStringLiteral("?MONTHNUMBER")), Qt::RightButton);
        break;
    case Leaving::CloseBox:
        window->close();
        break;
    case Leaving::WindowDeleted:
        delete window;
        break;
    }
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Pick());
    QVERIFY(!calendarWindow());
}

void PopupCalendarTest::windowHasItsControlsWhereTheDesignPutsThem()
{
    ProcedureWindow* window = open(QDate(2004, 5, 15));
    QVERIFY(window);
    QCOMPARE(window->objectName(), QStringLiteral("PopupCalendar"));
    QCOMPARE(window->sizing(), Sizing::Fixed);
    QCOMPARE(QFontInfo(window->font()).pointSize(), 8);

    const DialogUnits units(window->font());
    QCOMPARE(window->body()->size(), units.size(QSize(121, 80)));

    struct Placed
    {
        const char* name;
        QRect design;
    };
    const Placed placed[] = {
        {"?PANEL1", QRect(0, 0, 121, 12)},      {"?PANEL3", QRect(89, 15, 32, 29)},
        {"?PANEL2", QRect(89, 48, 32, 29)},     {"?MONTHNUMBER", QRect(93, 27, 24, 12)},
        {"?YEARNUMBER", QRect(93, 60, 24, 12)}, {"?REGION1", QRect(3, 15, 10, 10)},
        {"?REGION7", QRect(75, 15, 10, 10)},    {"?REGION37", QRect(15, 70, 10, 10)},
        {"?STRING1", QRect(1, 16, 10, 10)},     {"?STRING37", QRect(13, 71, 10, 10)},
    };
    for (const Placed& one : placed) {
        auto* widget = control<QWidget>(window, QLatin1String(one.name));
        QVERIFY2(widget, one.name);
        QCOMPARE(widget->geometry(), units.rect(one.design));
    }

    QStringList names = {"?PANEL1",      "?PANEL2",     "?PANEL3",    "?STRINGMONTH",
                         "?MONTHNUMBER", "?STRINGYEAR", "?YEARNUMBER"};
    for (int cell = 1; cell <= 37; ++cell)
        names << QStringLiteral("?REGION%1").arg(cell) << QStringLiteral("?STRING%1").arg(cell);
    // The bottom row's day numbers reach one unit below the grid, where the body clips them.
    const QRect inside = window->body()->rect();
    for (const QString& name : names) {
        auto* widget = control<QWidget>(window, name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->isVisible(), qPrintable(name));
        QVERIFY2(inside.contains(widget->geometry().topLeft()), qPrintable(name));
        QVERIFY2(inside.contains(widget->geometry().center()), qPrintable(name));
    }
    QCOMPARE(control<QLabel>(window, QStringLiteral("?STRINGMONTH"))->text(),
             QStringLiteral("Month"));
    QCOMPARE(control<QLabel>(window, QStringLiteral("?STRINGYEAR"))->text(),
             QStringLiteral("Year"));

    QStringList headings;
    for (const QLabel* label : window->body()->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty())
            headings << label->text();
    }
    QCOMPARE(headings, (QStringList{"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"}));

    // The day number overlaps its cell but must leave the clicks to it.
    QWidget* cell = region(window, 14);
    QCOMPARE(window->body()->childAt(cell->geometry().center()), cell);
}

void PopupCalendarTest::isModalToItsCallerAndCentred()
{
    QWidget caller;
    caller.setGeometry(10, 10, 200, 150);
    caller.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caller));

    ProcedureWindow* window = open(QDate(2004, 5, 15), &caller);
    QVERIFY(window);
    QCOMPARE(window->parentWidget(), &caller);
    QCOMPARE(window->windowModality(), Qt::WindowModal);
    QVERIFY(window->isVisible());
    const QPoint offset = window->frameGeometry().center() - kScreen.center();
    QVERIFY2(offset.manhattanLength() <= 2, "centred on the screen, not over its caller");

    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(m_run->done());
}

int runPopupCalendarTests(int argc, char** argv)
{
    PopupCalendarTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_popup_calendar.moc"
