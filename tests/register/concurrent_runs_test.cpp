// tessary-print against one register from several processes: two runs starting
// the same passes at the same moment print them once, and a register that
// cannot be written stops a run before anything is handed on.
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "support/register_test_support.h"
#include "support/private_postgres.h"
#include "support/small_tmpfs.h"

#include <QProcess>
#include <QSet>
#include <QUrl>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <sys/mount.h>

namespace {

constexpr int kRepeats = 20;

std::unique_ptr<QProcess> StartPrint(const QStringList& arguments, const RegisterLocation& location)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TESSARY_REGISTER"),
                       location.kind == RegisterLocation::Kind::SQLite ? location.file : location.Name());
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(TESSARY_PRINT_EXE), arguments);
    return process;
}

QStringList PrintArguments(const QString& label, const QTime& at, const QString& pdf)
{
    return {QStringLiteral("--label"), label, QStringLiteral("--row"), QStringLiteral("07,2026-05-04,4"),
            QStringLiteral("--at"), at.toString(QStringLiteral("HH:mm:ss")), QStringLiteral("--pdf"), pdf,
            QStringLiteral("--quiet")};
}

class ConcurrentRuns : public ::testing::TestWithParam<Backend> {};

TEST_P(ConcurrentRuns, ExactlyOneOfTwoRunsPrintsTheSamePassesUnasked)
{
    QTemporaryDir dir;
    QString missing;
    const RegisterLocation location = TestRegister(GetParam(), dir.path(), &missing);
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    // Each round prints passes of its own: instants ten seconds apart, four passes each.
    const QTime firstAt = GetParam() == Backend::SQLite ? QTime(8, 0, 0) : QTime(9, 0, 0);
    for (int round = 0; round < kRepeats; ++round) {
        SCOPED_TRACE("round " + std::to_string(round + 1));
        const QTime at = firstAt.addSecs(10 * round);
        const QString pdfA = dir.filePath(QStringLiteral("a%1.pdf").arg(round));
        const QString pdfB = dir.filePath(QStringLiteral("b%1.pdf").arg(round));
        const auto a = StartPrint(PrintArguments(label, at, pdfA), location);
        const auto b = StartPrint(PrintArguments(label, at, pdfB), location);
        ASSERT_TRUE(a->waitForFinished(120000) && b->waitForFinished(120000));
        const int statusA = a->exitStatus() == QProcess::NormalExit ? a->exitCode() : -1;
        const int statusB = b->exitStatus() == QProcess::NormalExit ? b->exitCode() : -1;
        const QString errA = QString::fromUtf8(a->readAllStandardError());
        const QString errB = QString::fromUtf8(b->readAllStandardError());
        ASSERT_EQ(std::min(statusA, statusB), 0) << errA.toStdString() << errB.toStdString();
        ASSERT_EQ(std::max(statusA, statusB), 1) << errA.toStdString() << errB.toStdString();
        const QString& refused = statusA == 1 ? errA : errB;
        EXPECT_TRUE(refused.startsWith(QStringLiteral("tessary-print: 4 passes of this run ")))
            << refused.toStdString();
        EXPECT_TRUE(refused.trimmed().endsWith(QStringLiteral("; --allow-reprint prints them again")));
        EXPECT_NE(QFile::exists(pdfA), QFile::exists(pdfB));
    }

    PassRegister passRegister(location);
    RecordFilter lane07;
    lane07.lane = QStringLiteral("07");
    QSet<QString> barcodes;
    int records = 0;
    for (const PassRecord& record : passRegister.Records(lane07)) {
        if (!record.validOn.startsWith(QLatin1String("2026-05-04")))
            continue;
        ++records;
        barcodes.insert(record.barcode);
        EXPECT_FALSE(record.reissue || record.pending) << record.barcode.toStdString();
    }
    EXPECT_EQ(records, 4 * kRepeats);
    EXPECT_EQ(barcodes.size(), 4 * kRepeats);
}

INSTANTIATE_TEST_SUITE_P(Backends, ConcurrentRuns, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& info) { return BackendName(info.param); });

enum class Unwritable { ReadOnlyFileSystem, FullDisk, ServerDown };

struct UnwritableCase {
    const char* what;
    Unwritable fault;
};

const UnwritableCase kUnwritable[] = {
    {"a register on a file system mounted read-only", Unwritable::ReadOnlyFileSystem},
    {"a register on a full disk", Unwritable::FullDisk},
    {"a PostgreSQL server that is not running", Unwritable::ServerDown},
};

TEST(UnwritableRegister, StopsTheRunBeforeAnythingIsHandedOn)
{
    for (const UnwritableCase& c : kUnwritable) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString label = dir.filePath("passes.lbl");
        const QString pdf = dir.filePath("run.pdf");
        WriteLabelFile(label, 2, 2);
        SmallTmpfs disk(512 << 10);
        RegisterLocation location;
        if (c.fault == Unwritable::ServerDown) {
            // A socket folder where no server listens.
            location = ParseRegisterLocation(QStringLiteral("postgresql://tessary@%1:5432/passes")
                                                 .arg(QString::fromUtf8(QUrl::toPercentEncoding(dir.path()))));
        } else {
            if (!disk.Error().isEmpty())
                GTEST_SKIP() << disk.Error().toStdString();
            location.file = disk.FilePath("passes.sqlite");
            { PassRegister made(location); }
            if (c.fault == Unwritable::FullDisk) {
                ASSERT_TRUE(disk.Fill());
            } else {
                ASSERT_EQ(::mount(nullptr, QFile::encodeName(disk.Path()).constData(), nullptr,
                                  MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr),
                          0);
            }
        }
        const auto run = StartPrint(PrintArguments(label, QTime(10, 0, 0), pdf), location);
        ASSERT_TRUE(run->waitForFinished(120000));
        const QString err = QString::fromUtf8(run->readAllStandardError());
        EXPECT_EQ(run->exitCode(), 3) << err.toStdString();
        const QString named = QStringLiteral("tessary-print: The register %1 cannot ").arg(location.Name());
        EXPECT_TRUE(err.startsWith(named)) << err.toStdString();
        EXPECT_GT(err.section(QStringLiteral(": "), 2).trimmed().size(), 3) << "no reason given";
        EXPECT_FALSE(QFile::exists(pdf));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"passes.lbl"});
    }
}

}  // namespace
