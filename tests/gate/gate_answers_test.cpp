// Every answer a gate gives, one row per reason, against a register that
// real runs of tessary-print built (a run that printed, one that withdrew
// its passes, one left pending, an earlier numbering cycle) and
// tessary-register voided: on SQLite and on PostgreSQL.
#include "passes/pass_serial.h"
#include "register/pass_register.h"
#include "support/batch_tool.h"
#include "support/register_tool.h"
#include "support/small_tmpfs.h"

#include <QDate>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// A row of the table scans the barcode of a pass the register was given
// (named by its role) and expects the reason and a part of what it is based on.
struct AnswerCase {
    const char* what;
    const char* pass;
    const char* reason;
    const char* basis;  // %day: the other day named, %run: the run's id
};

const AnswerCase kAnswers[] = {
    {"a pass of today, first scan", "today", "admit", "valid today, run %run"},
    {"the same pass again", "today", "already-admitted", "at gate North"},
    {"text no pass carries", "not-a-barcode", "not-a-barcode", "is not a pass barcode"},
    {"a pass number alone, without its lane", "number-only", "not-a-barcode", "is not a pass barcode"},
    {"a number the register never issued", "never", "never-issued", "was never issued"},
    {"a pass printed by a run that never confirmed it", "pending", "pending", "run %run never confirmed"},
    {"a pass of a run that withdrew it", "withdrawn", "withdrawn", "was withdrawn: run %run"},
    {"a voided pass", "voided", "void", "lost at the desk"},
    {"a pass valid tomorrow", "tomorrow", "other-day", "valid on %day, not today"},
    {"a pass issued two years ago only", "old-cycle", "other-day", "valid on %day, not today"},
    {"a barcode issued two years ago and for today", "both-cycles", "admit", "valid today, run %run"},
    {"a pass of lane 05 at a lane 03 gate", "lane-05", "other-lane", "not for this gate's lane 03"},
};

// The day two years before today (or near it) whose passes carry the same
// numbers at the same time of day: the barcode's previous cycle.
QDate SameNumbersTwoYearsBefore(const QDate& today, const QTime& at)
{
    const auto number = [&at](const QDate& day) {
        return PassNumberText(DecodeValidOnStamp(EncodeValidOnStamp(day, at)), 0);
    };
    for (int shift = -3; shift <= 3; ++shift) {
        const QDate day = today.addYears(-2).addDays(shift);
        if (number(day) == number(today))
            return day;
    }
    return QDate();
}

QString Row(const QString& lane, const QDate& day, const QTime& at, int quantity)
{
    return QStringLiteral("%1,%2T%3,%4").arg(lane, day.toString(Qt::ISODate), at.toString(Qt::ISODate)).arg(quantity);
}

QString Barcode(const QString& lane, const QDate& day, const QTime& at, int index = 0)
{
    return BarcodeText(PassNumberText(DecodeValidOnStamp(EncodeValidOnStamp(day, at)), index), lane);
}

class GateAnswers : public ::testing::TestWithParam<Backend> {
protected:
    QTemporaryDir dir;
    QString label = dir.filePath("passes.lbl");

    ToolRun Print(const RegisterLocation& location, const QStringList& rows, const QString& pdf)
    {
        QStringList arguments{QStringLiteral("--label"), label, QStringLiteral("--pdf"), pdf, QStringLiteral("-q")};
        for (const QString& row : rows)
            arguments << QStringLiteral("--row") << row;
        return RunTessaryPrint(arguments, RegisterEnvironment(location));
    }

    // One pass printed as a PDF on standard output, which goes to file.
    ToolRun PrintToStandardOutput(const RegisterLocation& location, const QString& row, const QString& file)
    {
        QProcess tool;
        tool.setProcessEnvironment(RegisterEnvironment(location));
        tool.setStandardOutputFile(file);
        tool.start(QStringLiteral(TESSARY_PRINT_EXE), {"--label", label, "--pdf", "-", "-q", "--row", row});
        tool.waitForFinished(120000);
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, QString(),
                QString::fromUtf8(tool.readAllStandardError())};
    }
};

TEST_P(GateAnswers, EachScanIsAnsweredWithItsReasonAndWhatItIsBasedOn)
{
    QString missing;
    const RegisterLocation location = OwnTestRegister(GetParam(), dir.path(), QStringLiteral("gate_answers"), &missing);
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    SmallTmpfs smallDisk(8 << 10);
    if (!smallDisk.Error().isEmpty())
        GTEST_SKIP() << smallDisk.Error().toStdString();
    WriteLabelFile(label, 2, 2);
    const QDate today = QDate::currentDate();
    const QTime eight(8, 0, 0), nine(9, 0, 0), ten(10, 0, 0), eleven(11, 0, 0), noon(12, 0, 0);
    const QDate earlierCycle = SameNumbersTwoYearsBefore(today, nine);
    ASSERT_TRUE(earlierCycle.isValid());

    // The earlier cycle first: its barcodes come round again today.
    const ToolRun old = Print(location, {Row("03", earlierCycle, nine, 1), Row("03", earlierCycle, ten, 1)},
                              dir.filePath("old.pdf"));
    ASSERT_EQ(old.status, 0) << old.err.toStdString();
    const ToolRun printed = Print(location, {Row("03", today, eight, 2), Row("03", today, nine, 1),
                                             Row("03", today.addDays(1), eight, 1), Row("05", today, eight, 1)},
                                  dir.filePath("today.pdf"));
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();

    // Standard output that takes nothing: the run withdraws its pass. One on a
    // disk that takes part of the PDF: the pass may have printed, and stays pending.
    const ToolRun withdrawn = PrintToStandardOutput(location, Row("03", today, eleven, 1), "/dev/full");
    EXPECT_EQ(withdrawn.status, 3) << withdrawn.err.toStdString();
    const ToolRun pending = PrintToStandardOutput(location, Row("03", today, noon, 1), smallDisk.FilePath("out.pdf"));
    EXPECT_EQ(pending.status, 4) << pending.err.toStdString();

    QHash<QString, QString> barcodes{
        {"today", Barcode("03", today, eight)},
        {"voided", Barcode("03", today, eight, 1)},
        {"both-cycles", Barcode("03", today, nine)},
        {"old-cycle", Barcode("03", earlierCycle, ten)},
        {"tomorrow", Barcode("03", today.addDays(1), eight)},
        {"lane-05", Barcode("05", today, eight)},
        {"withdrawn", Barcode("03", today, eleven)},
        {"pending", Barcode("03", today, noon)},
        {"never", Barcode("03", today, QTime(13, 0, 0))},
        {"not-a-barcode", "LANE PASS"},
        {"number-only", PassNumberText(DecodeValidOnStamp(EncodeValidOnStamp(today, eight)), 0)},
    };
    const QHash<QString, QString> otherDays{{"tomorrow", today.addDays(1).toString(Qt::ISODate)},
                                            {"old-cycle", earlierCycle.toString(Qt::ISODate)}};

    const ToolRun voided = RunTessaryRegister({"void", barcodes["voided"], "--reason", "lost at the desk"}, location);
    ASSERT_EQ(voided.status, 0) << voided.err.toStdString();
    QHash<QString, QString> runs;  // pass -> the run its record today names
    {
        PassRegister passRegister(location, RegisterAccess::ReadOnly);
        for (const char* pass : {"today", "pending", "both-cycles"}) {
            RecordFilter filter;
            filter.barcode = barcodes[pass];
            for (const PassRecord& record : passRegister.Records(filter))
                runs[pass] = record.validOn.startsWith(today.toString(Qt::ISODate)) ? record.run.id : runs[pass];
        }
    }

    QStringList scans;
    for (const AnswerCase& c : kAnswers)
        scans << barcodes.value(c.pass);
    const ToolRun check =
        RunTessaryRegister(QStringList{"check", "--gate", "North", "--lane", "03", "--json"} + scans, location);
    EXPECT_EQ(check.status, 1) << check.err.toStdString();
    const QStringList lines = check.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), int(std::size(kAnswers))) << check.out.toStdString() << check.err.toStdString();
    for (std::size_t i = 0; i < std::size(kAnswers); ++i) {
        const AnswerCase& c = kAnswers[i];
        SCOPED_TRACE(c.what);
        const QJsonObject answer = QJsonDocument::fromJson(lines[qsizetype(i)].toUtf8()).object();
        EXPECT_EQ(answer["barcode"].toString(), barcodes.value(c.pass));
        EXPECT_EQ(answer["reason"].toString(), c.reason);
        EXPECT_EQ(answer["admitted"].toBool(), QString(c.reason) == "admit");
        const QString basis = QString(c.basis).replace("%day", otherDays.value(c.pass)).replace("%run", runs.value(c.pass));
        EXPECT_TRUE(answer["basis"].toString().contains(basis))
            << answer["basis"].toString().toStdString() << " lacks " << basis.toStdString();
    }

    // A dry run admits nothing, and a gate whose register cannot be used admits nothing either.
    const ToolRun dry = RunTessaryRegister({"check", "--gate", "South", "--lane", "03", "--dry-run", barcodes["today"],
                                            barcodes["tomorrow"]}, location);
    EXPECT_EQ(dry.status, 1);
    EXPECT_TRUE(dry.out.startsWith(barcodes["today"] + "  already-admitted  ")) << dry.out.toStdString();
    RegisterLocation unreachable = location;
    if (GetParam() == Backend::SQLite)
        unreachable.file = dir.filePath("no-such-register.sqlite");
    else
        unreachable.host = dir.filePath("no-server-here");
    const ToolRun down = RunTessaryRegister({"check", "--gate", "North", "--lane", "03", "--json", barcodes["pending"]},
                                            unreachable);
    EXPECT_EQ(down.status, 3);
    const QJsonObject unchecked = QJsonDocument::fromJson(down.out.toUtf8()).object();
    EXPECT_EQ(unchecked["reason"].toString(), "cannot-check");
    EXPECT_FALSE(unchecked["admitted"].toBool(true));
    EXPECT_TRUE(unchecked["basis"].toString().startsWith("The register ")) << down.out.toStdString();
    EXPECT_FALSE(QFile::exists(unreachable.file)) << "a gate made a register";
}

INSTANTIATE_TEST_SUITE_P(Backends, GateAnswers, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
