// The window framework tests, run one class after another in one application.

#include <QApplication>

int runDateTextTests(int argc, char** argv);
int runLayoutTests(int argc, char** argv);
int runProcedureWindowTests(int argc, char** argv);
int runPresenterTests(int argc, char** argv);
int runHelpTests(int argc, char** argv);
int runListModelTests(int argc, char** argv);
int runListScaleTests(int argc, char** argv);
int runListViewTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = runDateTextTests(argc, argv);
    failures += runLayoutTests(argc, argv);
    failures += runProcedureWindowTests(argc, argv);
    failures += runPresenterTests(argc, argv);
    failures += runHelpTests(argc, argv);
    failures += runListModelTests(argc, argv);
    failures += runListScaleTests(argc, argv);
    failures += runListViewTests(argc, argv);
    return failures;
}
