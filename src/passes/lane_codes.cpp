#include "passes/lane_codes.h"

QStringList LaneCodes()
{
    return {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"), QStringLiteral("04"),
            QStringLiteral("05"), QStringLiteral("06"), QStringLiteral("07"), QStringLiteral("09")};
}
