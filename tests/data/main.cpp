#include <QCoreApplication>

int runDataTests(int argc, char** argv);
int runManagersTests(int argc, char** argv);
int runViewsTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failures = runDataTests(argc, argv);
    failures += runManagersTests(argc, argv);
    failures += runViewsTests(argc, argv);
    return failures;
}
