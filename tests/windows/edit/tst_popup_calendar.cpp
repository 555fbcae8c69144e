// The pop-up calendar.

#include <QTest>

class PopupCalendarTest : public QObject
{
    Q_OBJECT
};

int runPopupCalendarTests(int argc, char** argv)
{
    PopupCalendarTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_popup_calendar.moc"
