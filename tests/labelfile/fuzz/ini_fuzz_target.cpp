#include "ini_input_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString problem = CheckIniInput(input);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "INI check failed: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
