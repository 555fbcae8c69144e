#include <QCoreApplication>

int runParseTests(int argc, char** argv);
int runBindTests(int argc, char** argv);
int runSemanticsTests(int argc, char** argv);
int runSqlTests(int argc, char** argv);
int runAgreementTests(int argc, char** argv);
int runStoreReadTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failures = runParseTests(argc, argv);
    failures += runBindTests(argc, argv);
    failures += runSemanticsTests(argc, argv);
    failures += runSqlTests(argc, argv);
    failures += runAgreementTests(argc, argv);
    failures += runStoreReadTests(argc, argv);
    return failures;
}
