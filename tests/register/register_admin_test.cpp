// tessary-register's looking after the register, as built, step by step on one
// register of an older version: on SQLite and on a database of its own of the
// test's PostgreSQL server.
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "register/register_schema.h"
#include "support/register_test_support.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Where { Both, SQLite, PostgreSQL };
// Reader: the register file and its folder only readable (as nobody when root);
// NoRegister: a file that does not exist, or a database without tables;
// NoHome: TESSARY_REGISTER unset and a HOME that is no folder.
enum class As { Owner, Reader, NoRegister, NoHome };
enum class Check { Exact, Matches, JsonHolds };
enum class Then { Nothing, LookUpSaysVoid, CopyHoldsTheRecords, NothingMade };

// %P1 %P2: run A's lane 03 passes, %Q: run B's lane 04 one; %A %B: the runs.
struct AdminStep {
    const char* what;
    Where where;
    As as;
    QStringList arguments;
    int status;
    Check check;
    const char* out;
    const char* err;  // what standard error holds; "" for nothing at all
    Then then;
};

const AdminStep kSteps[] = {
    {"version", Where::Both, As::Owner, {"--version"}, 0, Check::Matches,
     "^tessary-register [0-9]+\\.[0-9]+\\.[0-9]+\n$", "", Then::Nothing},
    {"older register read as it stands", Where::Both, As::Owner, {"list"}, 0, Check::Matches,
     "  %P1  re-issued  valid 2026-03-10 09:00:00  sheet 1 cell 1  run %B \\(window, ", "", Then::Nothing},
    {"counts by day", Where::Both, As::Owner, {"counts", "--by", "day"}, 0, Check::Exact,
     "day         issued  re-issued  pending  void  admitted\n2026-03-02       2          0        0     0         0\n"
     "2026-03-03       1          1        0     0         0\nall              3          1        0     0         0\n", "", Then::Nothing},
    {"counts by lane", Where::Both, As::Owner, {"counts", "--by", "lane", "--json"}, 0, Check::JsonHolds,
     R"({"by": "lane", "groups": [{"lane": "03", "issued": 2, "reissued": 1, "pending": 0, "void": 0},
         {"lane": "04", "issued": 1, "reissued": 0}], "all": {"issued": 3, "reissued": 1, "void": 0}})", "", Then::Nothing},
    {"counts by run from a day", Where::Both, As::Owner, {"counts", "--by", "run", "--from", "2026-03-03", "--json"}, 0,
     Check::JsonHolds, R"({"by": "run", "groups": [{"run": "%B", "issued": 1, "reissued": 1}]})", "", Then::Nothing},
    {"void upgrades the register", Where::Both, As::Owner, {"void", "%P1", "%Q", "--reason", "lost at gate"}, 0,
     Check::Exact, "voided %P1\nvoided %Q\n", "", Then::LookUpSaysVoid},
    {"void of a barcode not held", Where::Both, As::Owner, {"void", "%P2", "2599999999", "--reason", "x"}, 1,
     Check::Exact, "", "2599999999 is not in the register; nothing was voided", Then::Nothing},
    {"find shows the void", Where::Both, As::Owner, {"find", "%P1", "--json"}, 0, Check::JsonHolds,
     R"({"records": [{"issue": "first", "run": {"id": "%A"}, "void": {"reason": "lost at gate"}},
                     {"issue": "reissue", "run": {"id": "%B"}, "void": {"reason": "lost at gate"}}]})", "", Then::Nothing},
    {"a failed void voids nothing", Where::Both, As::Owner, {"find", "%P2", "--json"}, 0, Check::JsonHolds,
     R"({"records": [{"barcode": "%P2", "void": null}]})", "", Then::Nothing},
    {"void of a text that is no barcode", Where::Both, As::Owner, {"void", "%P2", "abc", "--reason", "x"}, 2,
     Check::Exact, "", "\"abc\" is not a barcode", Then::Nothing},
    {"export of one lane", Where::Both, As::Owner, {"export", "--csv", "-", "--lane", "04"}, 0, Check::Matches,
     "\n%Q,[^\n]*\r\n$", "", Then::Nothing},
    {"export shows the void", Where::Both, As::Owner, {"export", "--csv", "-"}, 0, Check::Matches,
     "\n%P1,[^\n]*,%A,[^\n]*,1,1,2026-[-0-9T:.]+Z,[^,\n]+,[^,\n]+,lost at gate,,\r\n%P2,[^\n]*,1,2,,,,,,\r\n", "", Then::Nothing},
    {"counts of a register its user may only read", Where::SQLite, As::Reader, {"counts", "--by", "day"}, 0, Check::Exact,
     "day         issued  re-issued  pending  void  admitted\n2026-03-02       2          0        0     1         0\n"
     "2026-03-03       1          1        0     2         0\nall              3          1        0     3         0\n", "", Then::Nothing},
    {"find in a register its user may only read", Where::SQLite, As::Reader, {"find", "%Q", "--json"}, 0,
     Check::JsonHolds, R"({"records": [{"lane": "04", "void": {"reason": "lost at gate"}}]})", "", Then::Nothing},
    {"prune without --yes", Where::Both, As::Owner, {"prune", "--before", "2026-03-03"}, 0, Check::Exact,
     "would remove 2 issued pass records recorded before 2026-03-03; nothing was removed: prune --yes removes them\n",
     "", Then::Nothing},
    {"prune without --yes kept them", Where::Both, As::Owner, {"counts"}, 0, Check::Exact,
     "     issued  re-issued  pending  void  admitted\nall       3          1        0     3         0\n", "", Then::Nothing},
    {"prune", Where::Both, As::Owner, {"prune", "--before", "2026-03-03", "--yes"}, 0, Check::Exact,
     "removed 2 issued pass records recorded before 2026-03-03\n", "", Then::Nothing},
    {"prune took run A", Where::Both, As::Owner, {"counts", "--by", "run", "--json"}, 0, Check::JsonHolds,
     R"({"groups": [{"run": "%B", "issued": 1, "reissued": 1, "void": 2}]})", "", Then::Nothing},
    {"look-up of no register", Where::Both, As::NoRegister, {"counts"}, 3, Check::Exact, "", "cannot be opened: it ",
     Then::NothingMade},
    {"no usable home", Where::SQLite, As::NoHome, {"counts"}, 3, Check::Exact, "",
     "set TESSARY_REGISTER to the absolute name of a register file, a postgresql:// URI or off", Then::Nothing},
    {"backup of PostgreSQL", Where::PostgreSQL, As::Owner, {"backup", "%DIR/copy.sqlite"}, 2, Check::Exact, "",
     "back up the PostgreSQL register %DB with pg_dump", Then::NothingMade},
    {"backup", Where::SQLite, As::Owner, {"backup", "%DIR/copy.sqlite"}, 0, Check::Exact,
     "backed up the register to %DIR/copy.sqlite\n", "", Then::CopyHoldsTheRecords},
};

// actual has every name of expected, with values that hold expected's; arrays as long.
bool Holds(const QJsonValue& actual, const QJsonValue& expected)
{
    if (expected.isObject()) {
        const QJsonObject a = actual.toObject(), e = expected.toObject();
        bool holds = actual.isObject();
        for (auto it = e.begin(); holds && it != e.end(); ++it)
            holds = a.contains(it.key()) && Holds(a.value(it.key()), it.value());
        return holds;
    }
    if (expected.isArray()) {
        const QJsonArray a = actual.toArray(), e = expected.toArray();
        bool holds = actual.isArray() && a.size() == e.size();
        for (qsizetype i = 0; holds && i < e.size(); ++i)
            holds = Holds(a.at(i), e.at(i));
        return holds;
    }
    return actual == expected;
}

QStringList RecordLines(const RegisterLocation& location)
{
    QStringList lines;
    for (const PassRecord& r : PassRegister(location, RegisterAccess::ReadOnly).Records({}))
        lines << QStringList{r.barcode, r.run.id, r.recordedAt.toString(Qt::ISODateWithMs), r.voided.reason}.join(' ');
    return lines;
}

class RegisterAdminOn : public ::testing::TestWithParam<Backend> {};

TEST_P(RegisterAdminOn, LooksAfterAnOlderRegister)
{
    QTemporaryDir dir;
    QString missing;
    RegisterLocation location = TestRegister(GetParam(), dir.path(), &missing);
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const bool postgres = GetParam() == Backend::PostgreSQL;
    // Databases of this test's own: counts and prunes meet no other test's passes.
    RegisterLocation none = postgres ? location : ParseRegisterLocation(dir.filePath("none.sqlite"));
    if (postgres) {
        ASSERT_EQ(ExecOnRegister(location, {"SET client_min_messages TO WARNING", "DROP DATABASE IF EXISTS admin",
                                            "CREATE DATABASE admin", "DROP DATABASE IF EXISTS admin_none",
                                            "CREATE DATABASE admin_none"}),
                  "");
        location.database = "admin";
        none.database = "admin_none";
    }
    const QDateTime validOn(QDate(2026, 3, 10), QTime(9, 0));
    RunInfo a = NewRunInfo("tessary-print"), b = NewRunInfo("window");
    a.started = QDateTime(QDate(2026, 3, 2), QTime(10, 0));
    a.output = RunOutput{true, "a.pdf"};
    b.started = QDateTime(QDate(2026, 3, 3), QTime(11, 0));
    b.output = RunOutput{false, "desk"};
    const std::vector<RunPass> passesA = RowPasses("03", validOn, 2);
    std::vector<RunPass> passesB = RowPasses("03", validOn, 1);
    passesB.push_back(RowPasses("04", validOn, 1).front());
    ASSERT_EQ(RecordIssuedEarlier(location, a, passesA), "");
    ASSERT_EQ(RecordIssuedEarlier(location, b, passesB), "");
    // Back to the version before void marks, as a register of an older program.
    ASSERT_EQ(kAdmissionsSchemaVersion, RegisterSchemaVersion());
    QStringList older{QStringLiteral("DROP TABLE admissions"), QStringLiteral("DROP TABLE withdrawn_passes"),
                      QStringLiteral("ALTER TABLE runs DROP COLUMN job_id"),
                      QStringLiteral("ALTER TABLE runs DROP COLUMN print_server"),
                      QStringLiteral("ALTER TABLE runs DROP COLUMN copies"),
                      QStringLiteral("ALTER TABLE runs DROP COLUMN correction")};
    for (const char* column : {"voided_at", "voided_by", "voided_host", "void_reason"})
        older << QStringLiteral("ALTER TABLE passes DROP COLUMN %1").arg(column);
    older << QStringLiteral("UPDATE register_schema SET version = %1").arg(kVoidMarksSchemaVersion - 1);
    ASSERT_EQ(ExecOnRegister(location, older), "");

    const QByteArray folder = QFile::encodeName(dir.path()), file = QFile::encodeName(location.file);
    const auto fill = [&](const char* text) {
        return QString::fromUtf8(text).replace("%P1", passesA[0].barcode).replace("%P2", passesA[1].barcode)
            .replace("%Q", passesB[1].barcode).replace("%A", a.id).replace("%B", b.id).replace("%DIR", dir.path())
            .replace("%DB", location.Name());
    };
    for (const AdminStep& step : kSteps) {
        if (step.where != Where::Both && (step.where == Where::PostgreSQL) != postgres)
            continue;
        SCOPED_TRACE(step.what);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const RegisterLocation& used = step.as == As::NoRegister ? none : location;
        environment.insert("TESSARY_REGISTER", postgres ? used.Name() : used.file);
        if (step.as == As::NoHome) {
            environment.remove("TESSARY_REGISTER");
            environment.remove("XDG_DATA_HOME");
            environment.insert("HOME", dir.filePath("no-home"));
        }
        // Root reads anything: the tool then runs as nobody, in a folder only root may write in.
        const int reader = step.as == As::Reader && geteuid() == 0 ? 65534 : -1;
        if (step.as == As::Reader) {
            ASSERT_EQ(chmod(folder.constData(), reader < 0 ? 0555 : 0755) | chmod(file.constData(), 0444), 0);
        }
        QStringList arguments;
        for (const QString& argument : step.arguments)
            arguments << fill(argument.toUtf8().constData());
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.setChildProcessModifier([reader] {
            if (reader >= 0 && (setgid(gid_t(reader)) != 0 || setuid(uid_t(reader)) != 0))
                _exit(126);
        });
        tool.start(QStringLiteral(TESSARY_REGISTER_EXE), arguments);
        tool.waitForFinished(60000);
        chmod(folder.constData(), 0700);
        chmod(file.constData(), 0600);
        const QString out = QString::fromUtf8(tool.readAllStandardOutput());
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        EXPECT_EQ(tool.exitCode(), step.status) << err.toStdString();
        EXPECT_TRUE(*step.err ? err.contains(fill(step.err)) : err.isEmpty()) << err.toStdString();
        if (step.check == Check::Exact) {
            EXPECT_EQ(out, fill(step.out));
        }
        if (step.check == Check::Matches) {
            EXPECT_TRUE(QRegularExpression(fill(step.out)).match(out).hasMatch()) << out.toStdString();
        }
        if (step.check == Check::JsonHolds) {
            QJsonParseError parsed{}, wanted{};
            const QJsonDocument document = QJsonDocument::fromJson(out.toUtf8(), &parsed);
            const QJsonDocument expected = QJsonDocument::fromJson(fill(step.out).toUtf8(), &wanted);
            ASSERT_EQ(wanted.error, QJsonParseError::NoError) << step.out;
            EXPECT_EQ(parsed.error, QJsonParseError::NoError) << out.toStdString();
            EXPECT_TRUE(Holds(document.object(), expected.object())) << out.toStdString();
        }

        if (step.then == Then::LookUpSaysVoid) {
            const EarlierIssues found = PassRegister(location).LookUp({passesA[0]});
            EXPECT_EQ(EarlierIssuesFacts(found), "1 pass of this run was printed before (first on Mar 02 2026 10:00 by "
                                                 "the run to PDF); it is void");
        }
        if (step.then == Then::CopyHoldsTheRecords) {
            struct stat copy {};
            ASSERT_EQ(stat(QFile::encodeName(dir.filePath("copy.sqlite")).constData(), &copy), 0);
            EXPECT_EQ(copy.st_mode & 0077, 0u);
            EXPECT_EQ(RecordLines(ParseRegisterLocation(dir.filePath("copy.sqlite"))), RecordLines(location));
            EXPECT_EQ(RecordLines(location).size(), 2);
        }
        if (step.then == Then::NothingMade) {
            EXPECT_FALSE(QFileInfo::exists(dir.filePath("copy.sqlite")));
            EXPECT_TRUE(postgres ? !ExecOnRegister(none, {"SELECT 1 FROM register_schema"}).isEmpty()
                                 : !QFileInfo::exists(none.file));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, RegisterAdminOn, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
