// The About window's tests and those of the icons and help it shows, in one application.

#include <QApplication>

int runAboutTests(int argc, char** argv);
int runResourcesTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = runAboutTests(argc, argv);
    failures += runResourcesTests(argc, argv);
    return failures;
}
