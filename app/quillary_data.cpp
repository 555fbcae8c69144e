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
    "usage: quillary-data export [--table notes|Arcnotes] [--key KEY [--order ORDER]] [--filter EXPR] [FILE]\n"
    "       quillary-data import [--table notes|Arcnotes] FILE\n"
    "       quillary-data check\n"
    "\n"
    "Works on the data file QLY.db in the current folder. Notes are JSON Lines, one note per\n"
    "line; export writes to standard output when no FILE is given, import reads standard input\n"
    "when FILE is \"-\". Export writes the notes in the order they were added, or in the order\n"
    "of --key (sno:SNOT, sno:mainkey, sno:allnotes, sno:Donyet; arc:SNOT, arc:allnotes), with\n"
    "an --order the key keeps (such as -sno:notedate on sno:Donyet), through a --filter such as\n"
    "\"sno:done='Y' and CONTAINS(UPPER(sno:TOPIC),'BANK')\".\n";

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
    qly::ExportSelection selection;
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
        } else if (arg == QLatin1String("--key") || arg == QLatin1String("--order") ||
                   arg == QLatin1String("--filter")) {
            if (i + 1 >= args.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(arg);
                return parsed;
            }
            QString& target = arg == QLatin1String("--key")     ? parsed.selection.key
                              : arg == QLatin1String("--order") ? parsed.selection.order
                                                                : parsed.selection.filter;
            target = args[++i];
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
    if (args.rest.size() > 1 || (!args.selection.order.isEmpty() && args.selection.key.isEmpty()))
        return usage();
    if (args.rest.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return 1;
        const qly::TransferOutcome outcome = qly::exportTable(*args.table, out, args.selection);
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
    const qly::TransferOutcome outcome = qly::exportTable(*args.table, out, args.selection);
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
    if (args.rest.size() != 1 || !args.selection.key.isEmpty() || !args.selection.filter.isEmpty())
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
    if (!args.rest.isEmpty() || !args.selection.key.isEmpty() || !args.selection.filter.isEmpty())
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
