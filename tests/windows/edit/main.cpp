// The note form's tests and those of the pop-up calendar and the desktop links, in one
// application.

#include <QApplication>

int runPopupCalendarTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = runPopupCalendarTests(argc, argv);
    return failures;
}
