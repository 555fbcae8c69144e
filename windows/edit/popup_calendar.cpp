#include "windows/edit/popup_calendar.h"

#include "core/clock.h"
#include "core/procedure.h"
#include "errors/message_presenter.h"
#include "ui/dialog_units.h"
#include "ui/screens.h"

#include <array>
#include <functional>
#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSpinBox>

namespace qly {

namespace {

constexpr int kCells = 37;
constexpr int kFirstYear = 1801;
constexpr int kLastYear = 2099;

// Design positions in dialog units: the grid's columns (Sunday first) and rows.
constexpr std::array<int, 7> kCellX{3, 15, 27, 39, 51, 63, 75};
constexpr std::array<int, 6> kCellY{15, 26, 37, 48, 59, 70};

struct Heading
{
    const char* text;
    int x;
    int width;
};
constexpr std::array<Heading, 7> kHeadings{{{"Su", 2, 10},
                                            {"Mo", 15, 10},
                                            {"Tu", 27, 10},
                                            {"We", 39, 12},
                                            {"Th", 51, 10},
                                            {"Fr", 63, 10},
                                            {"Sa", 74, 10}}};

// English whatever the desktop's language: the caption is part of the window's design.
constexpr std::array<const char*, 12> kMonthNames{"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};

// 30 for April, June, September and November, 29 for February in a Gregorian leap year, else
// 28 or 31: QDate's calendar, which also knows the months before the first day count.
int daysInMonth(int month, int year)
{
    return QDate(year, month, 1).daysInMonth();
}

// Sunday = 0, as a day count's remainder by 7 reads. QDate also knows the months before the
// first day count, which a start date in December 1800 shows.
int weekdayOfFirst(int month, int year)
{
    return QDate(year, month, 1).dayOfWeek() % 7;
}

MessageBoxSpec outOfRangeBox(const QString& text)
{
    MessageBoxSpec box;
    box.title = QStringLiteral("Date Out Of Range");
    box.text = text;
    box.icon = MessageIcon::Information;
    box.buttons = {MessageButton::Ok};
    box.defaultButton = MessageButton::Ok;
    return box;
}

QCoro::Task<> showBox(MessagePresenter* presenter, MessageBoxSpec box)
{
    const MessageButton pressed = co_await presenter->present(std::move(box));
    (void)pressed; // the box only informs
}

// One day of the grid: a flat area that reports a left click and is drawn sunken for the start
// date's day.
class DayCell final : public QFrame
{
public:
    explicit DayCell(QWidget* parent) : QFrame(parent) { setSunken(false); }

    void onClick(std::function<void()> clicked) { m_clicked = std::move(clicked); }

    void setSunken(bool sunken)
    {
        setFrameShape(sunken ? QFrame::Panel : QFrame::NoFrame);
        setFrameShadow(sunken ? QFrame::Sunken : QFrame::Plain);
        setLineWidth(sunken ? 1 : 0);
        setProperty("sunken", sunken);
    }
    bool isSunken() const { return property("sunken").toBool(); }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            m_clicked)
            m_clicked();
    }

private:
    std::function<void()> m_clicked;
};

class CalendarWindow final : public ProcedureWindow
{
public:
    CalendarWindow(const WindowServices& services, MessagePresenter* presenter, Thread& thread,
                   DayCount start, QWidget* caller)
        : ProcedureWindow(services, thread, QStringLiteral("PopupCalendar"), Request::None, caller,
                          QSize(121, 80), Sizing::Fixed),
          m_presenter(presenter), m_start(start > 0 ? toQDate(start) : clock().today())
    {
        setFont(windowFont());
        setHelpKeyword(QStringLiteral("Pop-up calendar"));
        m_month = m_start.month();
        m_year = m_start.year();

        // Panels first: later siblings are drawn above them.
        auto* headingPanel =
            addControl<QFrame>(QRect(0, 0, 121, 12), {.name = QStringLiteral("?PANEL1")});
        auto* monthPanel =
            addControl<QFrame>(QRect(89, 15, 32, 29), {.name = QStringLiteral("?PANEL3")});
        auto* yearPanel =
            addControl<QFrame>(QRect(89, 48, 32, 29), {.name = QStringLiteral("?PANEL2")});
        for (QFrame* panel : {headingPanel, monthPanel, yearPanel}) {
            panel->setFrameShape(QFrame::Panel);
            panel->setFrameShadow(QFrame::Raised);
        }

        for (const Heading& heading : kHeadings) {
            auto* label = addControl<QLabel>(QRect(heading.x, 1, heading.width, 10),
                                             {.text = QString::fromLatin1(heading.text)});
            label->setAlignment(Qt::AlignCenter);
        }

        for (int cell = 1; cell <= kCells; ++cell) {
            const int x = kCellX[static_cast<std::size_t>((cell - 1) % 7)];
            const int y = kCellY[static_cast<std::size_t>((cell - 1) / 7)];
            auto* region = addControl<DayCell>(QRect(x, y, 10, 10),
                                               {.name = QStringLiteral("?REGION%1").arg(cell)});
            region->onClick([this, cell] { pick(cell); });
            // Over its cell, shifted as the design draws it; clicks go through to the cell.
            auto* number = addControl<QLabel>(QRect(x - 2, y + 1, 10, 10),
                                              {.name = QStringLiteral("?STRING%1").arg(cell)});
            number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            number->setAttribute(Qt::WA_TransparentForMouseEvents);
            number->setAutoFillBackground(false);
            m_cells[static_cast<std::size_t>(cell - 1)] = {region, number};
        }

        addControl<QLabel>(QRect(95, 18, 22, 8), {.name = QStringLiteral("?STRINGMONTH"),
                                                  .text = QStringLiteral("Month")});
        m_monthField = addNumberField(QRect(93, 27, 24, 12), QStringLiteral("?MONTHNUMBER"));
        addControl<QLabel>(QRect(98, 51, 18, 8),
                           {.name = QStringLiteral("?STRINGYEAR"), .text = QStringLiteral("Year")});
        m_yearField = addNumberField(QRect(93, 60, 24, 12), QStringLiteral("?YEARNUMBER"));

        connect(m_monthField, &QSpinBox::valueChanged, this, [this](int month) {
            m_month = month;
            redraw(MonthCheck::Made);
        });
        connect(m_yearField, &QSpinBox::valueChanged, this, [this](int year) {
            m_year = year;
            redraw(MonthCheck::Skipped);
        });

        // The keys work wherever the focus is, so the spin fields must not step on them.
        installEventFilter(this);
        for (QWidget* child : findChildren<QWidget*>())
            child->installEventFilter(this);

        // On opening the year is shown as it is, even outside the calendar's range.
        fill();
    }

    // The day clicked, once the window has closed Completed.
    std::optional<DayCount> picked() const { return m_picked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                finish(Response::Cancelled);
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            if (handleKey(static_cast<QKeyEvent*>(event)->key()))
                return true;
        }
        return ProcedureWindow::eventFilter(watched, event);
    }

private:
    enum class MonthCheck
    {
        Made,
        Skipped // a change of the year field leaves the month alone
    };

    struct Cell
    {
        DayCell* region = nullptr;
        QLabel* number = nullptr;
    };

    QSpinBox* addNumberField(QRect design, const QString& name)
    {
        auto* field = addControl<QSpinBox>(design, {.name = name});
        // A sign and up to five digits; the calendar itself checks what is entered.
        field->setRange(-99999, 999999);
        field->setSingleStep(1);
        field->setAlignment(Qt::AlignRight);
        // At 24 units a framed field hides the last digit of a year behind its arrows.
        field->setFrame(false);
        // Typing "2010" must not redraw (and complain) at "2", "20" and "201".
        field->setKeyboardTracking(false);
        return field;
    }

    bool handleKey(int key)
    {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            --m_month;
            redraw(MonthCheck::Made);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Down:
            ++m_month;
            redraw(MonthCheck::Made);
            return true;
        case Qt::Key_PageUp:
            --m_year;
            redraw(MonthCheck::Made);
            return true;
        case Qt::Key_PageDown:
            ++m_year;
            redraw(MonthCheck::Made);
            return true;
        case Qt::Key_Escape:
            finish(Response::Cancelled);
            return true;
        default:
            return false;
        }
    }

    void redraw(MonthCheck monthCheck)
    {
        // One step only: the month field can hold 40, which shows January of the next year.
        if (monthCheck == MonthCheck::Made) {
            if (m_month > 12) {
                m_month = 1;
                ++m_year;
            } else if (m_month < 1) {
                m_month = 12;
                --m_year;
            }
        }
        if (m_year < kFirstYear) {
            m_year = kFirstYear;
            tell(QStringLiteral("You cannot use the calendar for|dates before the year 1801"));
        } else if (m_year > kLastYear) {
            m_year = kLastYear;
            tell(QStringLiteral("You cannot use the calendar for|dates after the year 2099"));
        }
        fill();
    }

    void tell(const QString& text)
    {
        // The calendar stays open and usable under the box.
        if (m_presenter)
            spawn(showBox(m_presenter, outOfRangeBox(text)));
    }

    // Caption, grid and highlight for m_month (1..12 by now) of m_year, and both fields.
    void fill()
    {
        setWindowTitle(QString::fromLatin1(kMonthNames[static_cast<std::size_t>(m_month - 1)]) +
                       QLatin1Char(' ') + QString::number(m_year));

        const int days = daysInMonth(m_month, m_year);
        m_leading = weekdayOfFirst(m_month, m_year);
        for (int index = 0; index < kCells; ++index) {
            const Cell& cell = m_cells[static_cast<std::size_t>(index)];
            cell.region->setSunken(false);
            const int day = index + 1 - m_leading;
            QString text;
            if (day >= 1 && day <= days) {
                // The first row's single digits stand alone; later ones keep a blank before.
                text = QString::number(day);
                if (index >= 7 && day < 10)
                    text.prepend(QLatin1Char(' '));
            }
            cell.number->setText(text);
        }
        if (m_start.day() <= days)
            m_cells[static_cast<std::size_t>(m_leading + m_start.day() - 1)].region->setSunken(
                true);

        const QSignalBlocker monthBlocker(m_monthField);
        const QSignalBlocker yearBlocker(m_yearField);
        m_monthField->setValue(m_month);
        m_yearField->setValue(m_year);
    }

    void pick(int cell)
    {
        const int day = cell - m_leading;
        if (day < 1 || day > daysInMonth(m_month, m_year))
            return; // a blank cell
        // Days before 1801 have no day count: the few December 1800 days a start date can show.
        const DayCount picked = fromQDate(QDate(m_year, m_month, day));
        if (picked <= 0)
            return;
        m_picked = picked;
        finish(Response::Completed);
    }

    MessagePresenter* m_presenter;
    const QDate m_start; // never changes while the window is open
    int m_month = 1;
    int m_year = kFirstYear;
    int m_leading = 0; // blank cells before the 1st
    std::array<Cell, kCells> m_cells{};
    QSpinBox* m_monthField = nullptr;
    QSpinBox* m_yearField = nullptr;
    std::optional<DayCount> m_picked;
};

// Centres window on the screen it opened on.
void centre(QWidget* window, const ScreenSource* screens)
{
    const SystemScreens systemScreens;
    const QList<QRect> areas = (screens ? *screens : systemScreens).availableGeometries();
    if (areas.isEmpty())
        return;
    QRect area = areas.front();
    for (const QRect& candidate : areas) {
        if (candidate.contains(window->frameGeometry().center())) {
            area = candidate;
            break;
        }
    }
    QRect frame(QPoint(), window->frameGeometry().size());
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

} // namespace

QCoro::Task<std::optional<DayCount>> popupCalendar(WindowServices services,
                                                   MessagePresenter* presenter, Thread& thread,
                                                   DayCount start, QPointer<QWidget> caller)
{
    WindowServices unplaced = services;
    unplaced.settings = nullptr; // always centred: no placement is read or kept
    OwnedWindow<CalendarWindow> window(
        new CalendarWindow(unplaced, presenter, thread, start, caller.data()));
    window->start();
    centre(window.get(), services.screens);
    const Response response = co_await runWindow(window.get());
    if (!window || response != Response::Completed)
        co_return std::nullopt;
    co_return window->picked();
}

} // namespace qly
