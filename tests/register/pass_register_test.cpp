// The register's own account: what a later run finds after earlier runs that
// printed, stopped, failed or died, and what it may then record.
#include "register/pass_register.h"
#include "register/register_schema.h"
#include "support/register_test_support.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QDateTime kMorning(QDate(2026, 1, 10), QTime(8, 0, 0));

RegisterLocation FileAt(const QString& path)
{
    RegisterLocation location;
    location.file = path;
    return location;
}

enum class Earlier { None, Printed, StoppedAfterTwo, Withdrawn, Died, DiedOnQueue };

struct LookUpCase {
    const char* what;
    Earlier earlier;
    const char* lane;     // of this run; the earlier run printed lane 03 on kMorning
    int secondsLater;     // this run's valid-on instant after the earlier run's
    int yearsLater;
    int found;
    int mayHavePrinted;
    const char* factsStart;
};

const LookUpCase kLookUps[] = {
    {"an empty register", Earlier::None, "03", 0, 0, 0, 0, ""},
    {"the same passes printed", Earlier::Printed, "03", 0, 0, 4, 0,
     "4 passes of this run were printed before (first on "},
    {"a run stopped after two passes", Earlier::StoppedAfterTwo, "03", 0, 0, 2, 0,
     "2 passes of this run were printed before (first on "},
    {"a run that failed and withdrew", Earlier::Withdrawn, "03", 0, 0, 0, 0, ""},
    {"a run that died before it handed on", Earlier::Died, "03", 0, 0, 4, 4,
     "4 passes of this run may have printed before: the run that took them has not finished (first on "},
    {"another lane", Earlier::Printed, "04", 0, 0, 0, 0, ""},
    {"two passes later", Earlier::Printed, "03", 2, 0, 2, 0,
     "2 passes of this run were printed before"},
    // 10 January 2028 numbers its passes as 10 January 2026 did: the next cycle.
    {"the same barcodes two years on", Earlier::Printed, "03", 0, 2, 0, 0, ""},
};

class PassRegisterTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    RunInfo Run(const QString& output)
    {
        RunInfo run = NewRunInfo(QStringLiteral("tessary-print"));
        run.output = RunOutput{true, output};
        return run;
    }
};

class PassRegisterOn : public PassRegisterTest, public ::testing::WithParamInterface<Backend> {};

// Every case on passes of its own day, so that one register (one database of
// the shared server) holds them all.
TEST_P(PassRegisterOn, ALaterRunFindsWhatEarlierRunsLeft)
{
    QString missing;
    const RegisterLocation location = TestRegister(GetParam(), dir.path(), &missing);
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PassRegister passRegister(location);
    int day = 0;
    for (const LookUpCase& c : kLookUps) {
        SCOPED_TRACE(c.what);
        const QDateTime base = kMorning.addYears(GetParam() == Backend::PostgreSQL ? 4 : 0).addDays(++day);
        const std::vector<RunPass> earlier = RowPasses("03", base, 4);
        RunInfo earlierRun = Run(dir.filePath("earlier.pdf"));
        if (c.earlier == Earlier::DiedOnQueue)
            earlierRun.output = RunOutput{false, QStringLiteral("Passes")};
        if (c.earlier != Earlier::None)
            passRegister.Reserve(earlierRun, earlier, {});
        if (c.earlier == Earlier::DiedOnQueue)
            passRegister.NoteJob(earlierRun.id, QStringLiteral("Passes-7"), QStringLiteral("localhost:631"));
        if (c.earlier == Earlier::Printed)
            passRegister.Confirm(earlierRun.id, 4);
        if (c.earlier == Earlier::StoppedAfterTwo)
            passRegister.Confirm(earlierRun.id, 2);
        if (c.earlier == Earlier::Withdrawn)
            passRegister.WithdrawPending(earlierRun.id);

        const std::vector<RunPass> passes =
            RowPasses(c.lane, base.addSecs(c.secondsLater).addYears(c.yearsLater), 4);
        const EarlierIssues found = passRegister.LookUp(passes);
        EXPECT_EQ(found.passes, c.found);
        EXPECT_EQ(found.mayHavePrinted, c.mayHavePrinted);
        if (found.Any()) {
            EXPECT_TRUE(EarlierIssuesFacts(found).startsWith(QString::fromUtf8(c.factsStart)))
                << EarlierIssuesFacts(found).toStdString();
            EXPECT_EQ(EarlierIssuesFacts(found).contains(QStringLiteral("by the run to Passes, job Passes-7")),
                      c.earlier == Earlier::DiedOnQueue)
                << EarlierIssuesFacts(found).toStdString();
        }

        // What the lookup found is exactly what recording the run must be allowed.
        try {
            passRegister.Reserve(Run(dir.filePath("now.pdf")), passes, {});
            EXPECT_EQ(c.found, 0) << "recorded passes printed before without leave";
        } catch (const PassesIssuedMeanwhile& refused) {
            EXPECT_EQ(refused.found().passes, c.found);
        }
        if (c.found > 0) {
            ReprintAllowance allowance;
            allowance.keys = found.keys;
            const RunInfo again = Run(dir.filePath("again.pdf"));
            passRegister.Reserve(again, passes, allowance);
            passRegister.Confirm(again.id, 4);
            int reissues = 0;
            RecordFilter filter;
            filter.lane = QString::fromUtf8(c.lane);
            for (const PassRecord& record : passRegister.Records(filter)) {
                if (record.run.id == again.id)
                    reissues += record.reissue ? 1 : 0;
            }
            EXPECT_EQ(reissues, c.found);
        }
    }
    EXPECT_EQ(RowPasses("03", kMorning, 1)[0].barcode, RowPasses("03", kMorning.addYears(2), 1)[0].barcode);
}

INSTANTIATE_TEST_SUITE_P(Backends, PassRegisterOn, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& info) { return BackendName(info.param); });

TEST_F(PassRegisterTest, MakesItsFolderPrivateAndRefusesANewerRegister)
{
    const QString folder = dir.filePath("data/tessary-utility");
    ScopedEnv dataHome("XDG_DATA_HOME", dir.filePath("data"));
    { PassRegister made(FileAt(DefaultRegisterFile())); }
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
        db.setDatabaseName(DefaultRegisterFile());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("UPDATE register_schema SET version = 99")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    try {
        PassRegister newer(FileAt(DefaultRegisterFile()));
        ADD_FAILURE() << "opened a register of a newer program";
    } catch (const TessaryError& error) {
        EXPECT_EQ(error.text(), QStringLiteral("The register %1 cannot be used: its tables are of version 99, newer "
                                               "than this program's %2")
                                    .arg(DefaultRegisterFile())
                                    .arg(RegisterSchemaVersion()));
    }
}

}  // namespace
