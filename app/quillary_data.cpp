// quillary-data: exports, imports and checks the notes of the data file in the current folder,
// for backups, scripts and moving notes between machines.

#include "data/note_tables.h"
#include "data/note_transfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

const char* kUsage =
    "usage: quillary-data export [--table notes|Arcnotes] [FILE]\n"
    "       quillary-data import [--table notes|Arcnotes] FILE\n"
    "       quillary-data check\n"
    "\n"
    "Works on the data file QLY.db in the current folder. Notes are JSON Lines, one note per\n"
    "line; export writes to standard output when no FILE is given, import reads standard input\n"
    "when FILE is \"-\".\n";

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usage()
{
    err() << kUsage;
    err().flush();
    return 2;
}

struct Arguments
{
    const qly::store::TableDef* table = &qly::notesTableDef();
    QStringList rest;
    QString error;
};

Arguments parse(QStringList args)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--table")) {
            if (i + 1 >= args.size()) {
                parsed.error = QStringLiteral("--table needs a table name");
                return parsed;
            }
            const QString name = args[++i];
            if (name.compare(QLatin1String("notes"), Qt::CaseInsensitive) == 0)
                parsed.table = &qly::notesTableDef();
            else if (name.compare(QLatin1String("Arcnotes"), Qt::CaseInsensitive) == 0)
                parsed.table = &qly::archiveTableDef();
            else
                parsed.error = QStringLiteral("unknown table \"%1\" (notes or Arcnotes)").arg(name);
        } else if (arg.startsWith(QLatin1String("--"))) {
            parsed.error = QStringLiteral("unknown option %1").arg(arg);
        } else {
            parsed.rest << arg;
        }
    }
    return parsed;
}

int exportCommand(const Arguments& args)
{
    if (args.rest.size() > 1)
        return usage();
    if (args.rest.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return 1;
        const qly::TransferOutcome outcome = qly::exportTable(*args.table, out);
        if (!outcome.ok()) {
            err() << "quillary-data: " << outcome.error << '\n';
            return 1;
        }
        return 0;
    }
    QSaveFile out(args.rest.front());
    if (!out.open(QIODevice::WriteOnly)) {
        err() << "quillary-data: cannot write " << out.fileName() << ": " << out.errorString() << '\n';
        return 1;
    }
    const qly::TransferOutcome outcome = qly::exportTable(*args.table, out);
    if (!outcome.ok()) {
        out.cancelWriting();
        err() << "quillary-data: " << outcome.error << '\n';
        return 1;
    }
    if (!out.commit()) {
        err() << "quillary-data: cannot write " << out.fileName() << ": " << out.errorString() << '\n';
        return 1;
    }
    err() << "exported " << outcome.count << " notes to " << out.fileName() << '\n';
    return 0;
}

int importCommand(const Arguments& args)
{
    if (args.rest.size() != 1)
        return usage();
    QFile in;
    const bool fromStdin = args.rest.front() == QLatin1String("-");
    const bool opened = fromStdin ? in.open(stdin, QIODevice::ReadOnly)
                                  : (in.setFileName(args.rest.front()), in.open(QIODevice::ReadOnly));
    if (!opened) {
        err() << "quillary-data: cannot read " << args.rest.front() << ": " << in.errorString() << '\n';
        return 1;
    }
    const qly::TransferOutcome outcome = qly::importTable(*args.table, in);
    if (!outcome.ok()) {
        err() << "quillary-data: " << args.rest.front() << ": " << outcome.error
              << "; nothing was imported\n";
        return 1;
    }
    err() << "imported " << outcome.count << " notes into " << args.table->tableName() << '\n';
    return 0;
}

int checkCommand(const Arguments& args)
{
    if (!args.rest.isEmpty())
        return usage();
    QString error;
    const QStringList problems = qly::checkDataFile({&qly::notesTableDef(), &qly::archiveTableDef()}, &error);
    if (!error.isEmpty()) {
        err() << "quillary-data: " << error << '\n';
        return 1;
    }
    for (const QString& problem : problems)
        err() << problem << '\n';
    if (!problems.isEmpty())
        return 1;
    QTextStream(stdout) << "ok\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    const Arguments parsed = parse(args);
    if (!parsed.error.isEmpty()) {
        err() << "quillary-data: " << parsed.error << '\n';
        return usage();
    }
    if (command == QLatin1String("export"))
        return exportCommand(parsed);
    if (command == QLatin1String("import"))
        return importCommand(parsed);
    if (command == QLatin1String("check"))
        return checkCommand(parsed);
    return usage();
}
