#include "fuzz/ini_input_check.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Pieces of INI text, so that random inputs often form sections and keys.
const QByteArray kPieces[] = {"[", "]", "=", ";", "\"", "'", " ", "\t", "\r", "\n", "\r\n", "Barcode", "barcode",
                              "other", "Cols", "Line 1", "margin", "Bold 3", "x", "\xE9", "\x80", "\xC3\xA9",
                              "\xEF\xBB\xBF", QByteArray(1, '\0'), "\xFF"};

QByteArray RandomInput(QRandomGenerator& random)
{
    QByteArray input;
    const int pieces = random.bounded(64);
    for (int i = 0; i < pieces; ++i) {
        if (random.bounded(4) == 0)
            input.append(static_cast<char>(random.bounded(256)));
        else
            input.append(kPieces[random.bounded(int(std::size(kPieces)))]);
    }
    return input;
}

TEST(IniRandomInput, ReadsAndWritesConsistently)
{
    const int count = qEnvironmentVariableIsSet("TESSARY_RANDOM_INPUTS")
        ? qEnvironmentVariableIntValue("TESSARY_RANDOM_INPUTS") : 3000;
    QRandomGenerator random(7);
    int run = 0;
    for (; run < count; ++run) {
        const QByteArray input = RandomInput(random);
        const QString problem = CheckIniInput(input);
        ASSERT_TRUE(problem.isEmpty()) << qPrintable(problem) << " for input " << input.toHex().constData();
    }
    std::printf("random inputs run: %d\n", run);
}

} // namespace
