#include <QCoreApplication>

int runStoreTests(int argc, char** argv);
int runStoreOrderTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failures = runStoreTests(argc, argv);
    failures += runStoreOrderTests(argc, argv);
    return failures;
}
