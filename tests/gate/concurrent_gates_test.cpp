// Gates scanning the same passes at the same time, each in its own order, on
// one register: every pass is admitted exactly once, and every other scan of
// it is answered "already admitted".
#include "register/pass_register.h"
#include "support/register_tool.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kPasses = 2000;

struct GatesCase {
    Backend backend;
    int gates;
};

class ConcurrentGates : public ::testing::TestWithParam<GatesCase> {};

TEST_P(ConcurrentGates, AdmitEveryPassExactlyOnce)
{
    QTemporaryDir dir;
    QString missing;
    const RegisterLocation location = OwnTestRegister(GetParam().backend, dir.path(), "concurrent_gates", &missing);
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    // The passes as a run records them, valid from eight o'clock today.
    const std::vector<RunPass> passes = RowPasses("03", QDateTime(QDate::currentDate(), QTime(8, 0, 0)), kPasses);
    {
        PassRegister passRegister(location);
        RunInfo run = NewRunInfo("tessary-print");
        run.output = RunOutput{true, "gates.pdf"};
        passRegister.Reserve(run, passes, {});
        passRegister.Confirm(run.id, kPasses);
    }
    // Every gate is started and waiting before any of them is given its scans.
    std::vector<std::unique_ptr<QProcess>> gates;
    for (int gate = 0; gate < GetParam().gates; ++gate) {
        gates.push_back(std::make_unique<QProcess>());
        gates.back()->setProcessEnvironment(RegisterEnvironment(location));
        gates.back()->start(TESSARY_REGISTER_EXE,
                            {"check", "--gate", QString("gate %1").arg(gate), "--lane", "03", "--json"});
        ASSERT_TRUE(gates.back()->waitForStarted());
    }
    for (std::size_t gate = 0; gate < gates.size(); ++gate) {
        QStringList order;
        for (const RunPass& pass : passes)
            order << pass.barcode;
        QRandomGenerator shuffle(quint32(gate + 1));
        std::shuffle(order.begin(), order.end(), shuffle);
        gates[gate]->write((order.join('\n') + '\n').toUtf8());
        gates[gate]->closeWriteChannel();
    }
    QHash<QString, int> admitted;  // barcode -> admissions answered
    int alreadyAdmitted = 0;
    for (const auto& gate : gates) {
        ASSERT_TRUE(gate->waitForFinished(480000));
        const QStringList lines = QString::fromUtf8(gate->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        const QString err = QString::fromUtf8(gate->readAllStandardError());
        ASSERT_EQ(lines.size(), kPasses) << err.toStdString();
        int admittedHere = 0;
        for (const QString& line : lines) {
            const QJsonObject answer = QJsonDocument::fromJson(line.toUtf8()).object();
            admittedHere += answer["admitted"].toBool() ? 1 : 0;
            if (answer["admitted"].toBool())
                ++admitted[answer["barcode"].toString()];
            else if (answer["reason"].toString() == "already-admitted")
                ++alreadyAdmitted;
            else
                ADD_FAILURE() << line.toStdString();
        }
        // 0 only for a gate that admitted every pass it was given.
        EXPECT_EQ(gate->exitCode(), admittedHere == kPasses ? 0 : 1) << err.toStdString();
    }
    EXPECT_EQ(admitted.size(), kPasses);
    EXPECT_TRUE(std::all_of(admitted.begin(), admitted.end(), [](int count) { return count == 1; }));
    EXPECT_EQ(alreadyAdmitted, (GetParam().gates - 1) * kPasses);

    // The register holds one admission in force per pass, the gate that answered it.
    PassRegister passRegister(location, RegisterAccess::ReadOnly);
    const std::vector<PassRecord> records = passRegister.Records({});
    ASSERT_EQ(records.size(), std::size_t(kPasses));
    EXPECT_TRUE(std::all_of(records.begin(), records.end(), [](const PassRecord& r) { return r.admittedAt.isValid(); }));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConcurrentGates,
                         ::testing::Values(GatesCase{Backend::SQLite, 4}, GatesCase{Backend::PostgreSQL, 8}),
                         [](const auto& info) { return BackendName(info.param.backend); });

}  // namespace
