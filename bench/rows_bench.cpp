// Measures how fast tessary-print takes in a rows file: reading and checking
// every line and making the pass list rows, as a run does before it draws.
//
//   rows-bench [--rows N] [FILE]
//
// Without FILE, writes a CSV of N rows (1000000 when left out) in a temporary
// folder first. Prints rows, seconds, rows_per_second and peak_rss_mb.

#include "common/exit_status.h"
#include "batch/batch_rows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

bool WriteRows(const QString& path, long long count)
{
    static const char* const lanes[] = {"01", "02", "03", "04", "05", "06", "07", "09"};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("Lane,Valid on,Time,Quantity\n");
    QByteArray line;
    for (long long i = 0; i < count; ++i) {
        const int day = int(i % 28) + 1;
        const int second = int(i % 30) * 2;
        line = QByteArray(lanes[i % 8]) + ",2026-03-" + QByteArray::number(day).rightJustified(2, '0') + ",08:"
               + QByteArray::number(int(i / 30 % 60)).rightJustified(2, '0') + ":"
               + QByteArray::number(second).rightJustified(2, '0') + "," + QByteArray::number(int(i % 99) + 1) + "\n";
        file.write(line);
    }
    return file.error() == QFileDevice::NoError;
}

double PeakRssMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    long long count = 1000000;
    if (args.size() >= 2 && args[0] == "--rows") {
        count = args[1].toLongLong();
        args = args.mid(2);
    }
    if (args.size() > 1 || count < 1) {
        std::fprintf(stderr, "usage: rows-bench [--rows N] [FILE]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString path = args.isEmpty() ? dir.filePath(QStringLiteral("rows.csv")) : args[0];
    if (args.isEmpty() && !WriteRows(path, count)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    std::size_t made = 0;
    try {
        const std::vector<BatchRow> rows = ReadRowsFile(path);
        for (const BatchRow& row : rows) {
            MakePassListRow(row, QTime(8, 0));
            ++made;
        }
    } catch (const TessaryError& failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.text()));
        return 1;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("rows: %zu\nseconds: %.3f\nrows_per_second: %.0f\npeak_rss_mb: %.1f\n", made, seconds,
                double(made) / seconds, PeakRssMb());
    return 0;
}
