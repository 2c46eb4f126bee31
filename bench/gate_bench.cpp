// Measures how fast a gate answers one scan on a large register, alone and
// with other gates scanning at once:
//
//   gate-bench [--passes N] [--scans N] [--gates N] [--postgres]
//
// Fills a register of its own (a SQLite file in a temporary folder, or with
// --postgres a database of a private PostgreSQL server, stopped by its
// process id at the end) with N issued passes (1000000 when left out) in runs
// of 10000 over 60 days, two runs valid today. Then one gate scans --scans
// of today's passes (2000), each admitted, and scans them again, each
// refused as already admitted; then --gates gates (8), each on its own
// connection, scan the same --scans passes of the other run of today, each in
// its own order. Prints the median and 99th percentile of the answer times.

#include "register/lane_gate.h"
#include "support/private_postgres.h"
#include "support/register_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kRunPasses = 10000;
constexpr int kDays = 60;
const char* const kLanes[] = {"01", "02", "03", "04", "05", "06", "07", "09"};

struct Options {
    long long passes = 1000000;
    int scans = 2000;
    int gates = 8;
    bool postgres = false;
};

// Run r's passes: valid on day r % 60 before today, from slot r / 60 of
// 10000 seconds into that day, all of lane r % 8.
std::vector<RunPass> RunOf(int r, int count)
{
    const QDateTime start(QDate::currentDate().addDays(-(r % kDays)), QTime(0, 0).addSecs(kRunPasses * (r / kDays)));
    return RowPasses(QString::fromLatin1(kLanes[r % 8]), start, count);
}

void Fill(const RegisterLocation& location, long long passes)
{
    PassRegister passRegister(location);
    QElapsedTimer timer;
    timer.start();
    for (int r = 0; qint64(r) * kRunPasses < passes; ++r) {
        const int count = int(std::min<long long>(kRunPasses, passes - qint64(r) * kRunPasses));
        RunInfo run = NewRunInfo(QStringLiteral("tessary-print"));
        run.output = RunOutput{true, QStringLiteral("bench.pdf")};
        passRegister.Reserve(run, RunOf(r, count), {});
        passRegister.Confirm(run.id, count);
    }
    std::printf("filled %lld passes in %.1f s\n", passes, timer.elapsed() / 1000.0);
}

void Report(const char* what, std::vector<double> ms, double wallSeconds = 0)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double q) { return ms[std::min(ms.size() - 1, std::size_t(q * double(ms.size())))]; };
    std::printf("%-44s scans %6zu  median %7.2f ms  p99 %7.2f ms  max %7.2f ms", what, ms.size(), at(0.5), at(0.99),
                ms.back());
    if (wallSeconds > 0)
        std::printf("  %.0f scans/s", double(ms.size()) / wallSeconds);
    std::printf("\n");
}

// Scans each text once, timing each answer; counts the admissions.
std::vector<double> ScanAll(LaneGate& gate, const QStringList& texts, std::atomic<int>* admitted, GateReason expected,
                            bool anyAnswer = false)
{
    std::vector<double> ms;
    ms.reserve(std::size_t(texts.size()));
    for (const QString& text : texts) {
        QElapsedTimer timer;
        timer.start();
        const GateAnswer answer = gate.Scan(text);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (answer.Admits())
            ++*admitted;
        if (!anyAnswer && answer.reason != expected)
            std::fprintf(stderr, "unexpected answer for %s: %s\n", qPrintable(text), qPrintable(Basis(answer)));
    }
    return ms;
}

int Bench(const Options& options, const RegisterLocation& location)
{
    Fill(location, options.passes);
    const std::vector<RunPass> first = RunOf(0, options.scans);
    const int secondRun = kDays;  // the second run valid today
    const std::vector<RunPass> second = RunOf(secondRun, options.scans);
    QStringList firstTexts, secondTexts;
    for (const RunPass& pass : first)
        firstTexts << pass.barcode;
    for (const RunPass& pass : second)
        secondTexts << pass.barcode;

    LaneGate gate(location, GateOf(QStringLiteral("bench"), first.front().lane));
    std::atomic<int> admitted{0};
    gate.Scan(firstTexts.front());  // opens the register: not a scan at the door
    admitted = 0;
    Report("one gate, admitted", ScanAll(gate, firstTexts.mid(1), &admitted, GateReason::Admit));
    Report("one gate, already admitted", ScanAll(gate, firstTexts, &admitted, GateReason::AlreadyAdmitted));

    std::vector<std::vector<double>> times(std::size_t(options.gates));
    std::vector<std::unique_ptr<QThread>> threads;
    std::atomic<int> concurrentAdmitted{0};
    QElapsedTimer wall;
    wall.start();
    for (int g = 0; g < options.gates; ++g) {
        QStringList order = secondTexts;
        QRandomGenerator shuffle(quint32(g + 1));
        std::shuffle(order.begin(), order.end(), shuffle);
        threads.push_back(std::unique_ptr<QThread>(QThread::create([&, g, order] {
            LaneGate own(location, GateOf(QStringLiteral("bench %1").arg(g), second.front().lane));
            times[std::size_t(g)] = ScanAll(own, order, &concurrentAdmitted, GateReason::Admit, true);
        })));
        threads.back()->start();
    }
    for (const auto& thread : threads)
        thread->wait();
    const double seconds = wall.elapsed() / 1000.0;
    std::vector<double> all;
    for (const auto& gateTimes : times)
        all.insert(all.end(), gateTimes.begin(), gateTimes.end());
    Report(qPrintable(QStringLiteral("%1 gates at once, same passes").arg(options.gates)), all, seconds);
    std::printf("admitted once each: %d of %d passes\n", concurrentAdmitted.load(), options.scans);
    return concurrentAdmitted.load() == options.scans ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--postgres"))
            options.postgres = true;
        else if (a == QLatin1String("--passes") && i + 1 < arguments.size())
            options.passes = arguments[++i].toLongLong();
        else if (a == QLatin1String("--scans") && i + 1 < arguments.size())
            options.scans = arguments[++i].toInt();
        else if (a == QLatin1String("--gates") && i + 1 < arguments.size())
            options.gates = arguments[++i].toInt();
        else {
            std::fprintf(stderr, "usage: gate-bench [--passes N] [--scans N] [--gates N] [--postgres]\n");
            return 2;
        }
    }
    if (options.scans < 2 || options.scans > kRunPasses || options.passes < qint64(kDays + 1) * kRunPasses
        || options.gates < 1) {
        std::fprintf(stderr, "gate-bench: --scans 2 to %d, --passes at least %d, --gates at least 1\n", kRunPasses,
                     (kDays + 1) * kRunPasses);
        return 2;
    }
    try {
        if (!options.postgres) {
            QTemporaryDir folder;
            RegisterLocation location;
            location.file = folder.filePath(QStringLiteral("passes.sqlite"));
            std::printf("SQLite register %s\n", qPrintable(location.file));
            return Bench(options, location);
        }
        const QString missing = PrivatePostgres::MissingPrerequisite();
        if (!missing.isEmpty()) {
            std::fprintf(stderr, "gate-bench: %s\n", qPrintable(missing));
            return 3;
        }
        PrivatePostgres server;
        const QString failed = server.Start();
        if (!failed.isEmpty()) {
            std::fprintf(stderr, "gate-bench: %s\n", qPrintable(failed));
            return 3;
        }
        std::printf("PostgreSQL register %s\n", qPrintable(server.Uri()));
        return Bench(options, ParseRegisterLocation(server.Uri()));
    } catch (const TessaryError& error) {
        std::fprintf(stderr, "gate-bench: %s\n", qPrintable(error.text()));
        return 3;
    }
}
