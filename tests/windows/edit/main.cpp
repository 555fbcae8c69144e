// The note form's tests and those of the pop-up calendar, in one application.

#include <QApplication>

int runNoteFormTests(int argc, char** argv);
int runPopupCalendarTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = runNoteFormTests(argc, argv);
    failures += runPopupCalendarTests(argc, argv);
    return failures;
}
