// tessary-print to a queue of a private scheduler, with a fault at a random
// moment of each run: what the run says (exit status, message) must be what
// the queue and the register show, and no barcode may print twice unasked.
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "support/register_test_support.h"
#include "support/shared_scheduler.h"
#include "support/small_tmpfs.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <memory>

namespace {

enum class Fault { StopScheduler, EndRegisterConnection, FillRegisterDisk, Terminate, Kill };

struct FaultRow {
    const char* what;
    Fault fault;
    Backend backend;
    double from, to;  // when, as shares of an unfaulted run's time
};

// The scheduler is stopped at moments spread over the whole run: before the
// job is created, while the document goes, once it is in, once the release
// was answered. ctest runs the table in two halves side by side (gtest
// shards: the rows in odd places, and in even places); the first half holds
// the rows that end runs with nothing handed on (3) and with passes pending (4).
const FaultRow kFaults[] = {
    {"scheduler stopped early in the run", Fault::StopScheduler, Backend::SQLite, 0.0, 0.6},
    {"scheduler stopped late in the run", Fault::StopScheduler, Backend::SQLite, 0.6, 1.2},
    // The tool opens the register once Qt has started: over half its time.
    {"register's PostgreSQL connection ended", Fault::EndRegisterConnection, Backend::PostgreSQL, 0.5, 1.0},
    {"SIGTERM", Fault::Terminate, Backend::SQLite, 0.0, 1.2},
    {"register's disk full", Fault::FillRegisterDisk, Backend::SQLite, 0.0, 1.1},
    {"SIGKILL", Fault::Kill, Backend::SQLite, 0.0, 1.2},
};

constexpr int kPasses = 3;

enum class Held { Nothing, Pending, Issued, Mixed };

Held RegisterHolds(PassRegister& passRegister, const std::vector<RunPass>& passes)
{
    int pending = 0;
    int issued = 0;
    for (const RunPass& pass : passes) {
        RecordFilter filter;
        filter.barcode = pass.barcode;
        for (const PassRecord& record : passRegister.Records(filter))
            (record.pending ? pending : issued) += 1;
    }
    if (pending == 0 && issued == 0)
        return Held::Nothing;
    if (pending == kPasses && issued == 0)
        return Held::Pending;
    if (issued == kPasses && pending == 0)
        return Held::Issued;
    return Held::Mixed;
}

// A connection of the test's own to the register's database, opened before
// the run so that ending the run's connections takes no time.
QSqlDatabase OpenAside(const RegisterLocation& location)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("aside"));
    db.setHostName(location.host);
    db.setPort(location.port);
    db.setUserName(location.user);
    db.setDatabaseName(location.database);
    db.open();
    return db;
}

int Status(const QProcess& process)
{
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class RunOutcomeUnderFaults : public ::testing::TestWithParam<FaultRow> {
protected:
    // Faults that never took effect would show nothing: where this program
    // ran both a scheduler row and the register's connection row, runs that
    // handed nothing on and runs that may have printed must both have been seen.
    static void TearDownTestSuite()
    {
        if (faultsRun_.contains(int(Fault::StopScheduler)) && faultsRun_.contains(int(Fault::EndRegisterConnection))) {
            EXPECT_TRUE(statuses_.contains(3) && statuses_.contains(4)) << "the faults never changed a run's outcome";
        }
    }

    static QSet<int> faultsRun_;  // the faults of the rows this program ran
    static QSet<int> statuses_;  // exit statuses over the rows this program ran
};

QSet<int> RunOutcomeUnderFaults::faultsRun_;
QSet<int> RunOutcomeUnderFaults::statuses_;

TEST_P(RunOutcomeUnderFaults, WhatTheRunSaysIsWhatTheQueueAndRegisterShow)
{
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    PrivateCupsScheduler& scheduler = SharedScheduler::Get();
    ASSERT_EQ(SharedScheduler::Queue(QStringLiteral("Passes")), QString());
    QTemporaryDir dir;
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    SmallTmpfs disk(1 << 20);
    // Trials of each row; TESSARY_FAULT_TRIALS=50 for a longer look.
    const int count = qEnvironmentVariableIsSet("TESSARY_FAULT_TRIALS")
                          ? std::max(1, qEnvironmentVariableIntValue("TESSARY_FAULT_TRIALS"))
                          : 8;

    QMap<QString, int> outputsOfBarcode;  // filled from every PDF the queue wrote of this row's runs
    static int run = 0;
    static QTime at(6, 0, 0);
    const int firstRun = run + 1;
    const FaultRow& row = GetParam();
    {
        QString missing;
        RegisterLocation location;
        if (row.fault == Fault::FillRegisterDisk) {
            if (!disk.Error().isEmpty())
                GTEST_SKIP() << disk.Error().toStdString();
            location.file = disk.FilePath(QStringLiteral("passes.sqlite"));
        } else {
            location = TestRegister(row.backend, dir.path(), &missing);
            if (!missing.isEmpty())
                GTEST_SKIP() << missing.toStdString();
        }
        QProcessEnvironment environment = scheduler.Env();
        environment.insert(QStringLiteral("TESSARY_REGISTER"),
                           location.kind == RegisterLocation::Kind::SQLite ? location.file : location.Name());
        environment.insert(QStringLiteral("TESSARY_PRINT_SERVER_TIMEOUT"), QStringLiteral("1"));
        QSqlDatabase aside;
        if (row.fault == Fault::EndRegisterConnection)
            aside = OpenAside(location);
        const auto start = [&](int run, const QTime& at) {
            auto process = std::make_unique<QProcess>();
            process->setProcessEnvironment(environment);
            process->start(QStringLiteral(TESSARY_PRINT_EXE),
                           {"--label", label, "--row", QStringLiteral("01,2026-12-20,%1").arg(kPasses), "--at",
                            at.toString(QStringLiteral("HH:mm:ss")), "-d", "Passes", "--title",
                            QStringLiteral("run%1").arg(run), "--quiet"});
            process->waitForStarted();
            return process;
        };
        // Releases what a run left held, as an operator might, and waits for
        // the queue to empty: whatever can print has printed.
        const auto settle = [&scheduler] {
            for (const QString& job : scheduler.PendingJobs(QStringLiteral("Passes")))
                scheduler.Run(QStringLiteral("lp"), {"-i", job, "-H", "resume"});
            scheduler.WaitUntilQueueEmpty(QStringLiteral("Passes"), 60000);
        };

        // An unfaulted run gives the time the faults are spread over.
        QElapsedTimer clock;
        clock.start();
        auto calibration = start(++run, at = at.addSecs(10));
        ASSERT_TRUE(calibration->waitForFinished(60000));
        ASSERT_EQ(Status(*calibration), 0) << calibration->readAllStandardError().toStdString();
        const qint64 runMs = clock.elapsed();
        settle();

        QMap<int, int> statuses;
        for (int trial = 0; trial < count; ++trial) {
            SCOPED_TRACE("trial " + std::to_string(trial + 1));
            at = at.addSecs(10);
            const int delayMs =
                int(runMs * (row.from + (row.to - row.from) * QRandomGenerator::global()->generateDouble()));
            auto process = start(++run, at);
            QThread::msleep(ulong(delayMs));
            switch (row.fault) {
            case Fault::StopScheduler:
                ::kill(pid_t(scheduler.Pid()), SIGSTOP);
                break;
            case Fault::EndRegisterConnection:
                QSqlQuery(aside).exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                                     "pid <> pg_backend_pid() AND datname = current_database()"));
                break;
            case Fault::FillRegisterDisk:
                disk.Fill();
                break;
            case Fault::Terminate:
                ::kill(pid_t(process->processId()), SIGTERM);
                break;
            case Fault::Kill:
                ::kill(pid_t(process->processId()), SIGKILL);
                break;
            }
            ASSERT_TRUE(process->waitForFinished(60000));
            ::kill(pid_t(scheduler.Pid()), SIGCONT);
            disk.Unfill();
            const int status = Status(*process);
            statuses[status] += 1;
            const QString err = QString::fromUtf8(process->readAllStandardError());
            settle();

            const std::vector<RunPass> passes = RowPasses(QStringLiteral("01"), QDateTime(QDate(2026, 12, 20), at), kPasses);
            PassRegister passRegister(location);
            const Held held = RegisterHolds(passRegister, passes);
            bool printed = false;
            for (const QString& file : scheduler.OutputFiles(QStringLiteral("Passes")))
                printed = printed || file.contains(QStringLiteral("run%1-job").arg(run));
            SCOPED_TRACE("status " + std::to_string(status) + ": " + err.toStdString());
            switch (status) {
            case 0:
                EXPECT_TRUE(printed);
                EXPECT_EQ(held, Held::Issued);
                break;
            case 3:
            case 128 + SIGTERM:
                EXPECT_FALSE(printed);
                EXPECT_EQ(held, Held::Nothing);
                break;
            case 4:
                EXPECT_EQ(held, Held::Pending);
                EXPECT_TRUE(err.contains(QStringLiteral("stay pending in the register as run ")));
                break;
            case -1:  // killed: whatever it had reached, never a pass printed unrecorded
                EXPECT_NE(held, Held::Mixed);
                if (printed) {
                    EXPECT_NE(held, Held::Nothing);
                }
                break;
            default:
                ADD_FAILURE() << "unexpected exit status";
            }

            // The same row again, unfaulted and without --allow-reprint: it
            // prints only when the register holds nothing of the first run.
            auto again = start(++run, at);
            ASSERT_TRUE(again->waitForFinished(60000));
            EXPECT_EQ(Status(*again), held == Held::Nothing ? 0 : 1) << again->readAllStandardError().toStdString();
            settle();
        }
        QString tally;
        for (auto it = statuses.cbegin(); it != statuses.cend(); ++it)
            tally += QStringLiteral(" exit %1: %2").arg(it.key()).arg(it.value());
        std::cout << row.what << ":" << tally.toStdString() << std::endl;
        faultsRun_.insert(int(row.fault));
        for (auto it = statuses.cbegin(); it != statuses.cend(); ++it)
            statuses_.insert(it.key());
    }

    // Every barcode of every PDF the queue wrote for this row's runs.
    for (const QString& file : scheduler.OutputFiles(QStringLiteral("Passes"))) {
        const QRegularExpressionMatch title = QRegularExpression(QStringLiteral("run(\\d+)-job")).match(file);
        if (!title.hasMatch() || title.captured(1).toInt() < firstRun)
            continue;
        QTemporaryDir scan;
        for (const QString& barcode : ScanPdfBarcodes(QDir(scheduler.OutputDir(QStringLiteral("Passes"))).filePath(file), scan.path()))
            outputsOfBarcode[barcode] += 1;
    }
    ASSERT_FALSE(outputsOfBarcode.isEmpty());
    for (auto it = outputsOfBarcode.cbegin(); it != outputsOfBarcode.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString() << " printed more than once";
}

INSTANTIATE_TEST_SUITE_P(Table, RunOutcomeUnderFaults, ::testing::ValuesIn(kFaults));

}  // namespace
