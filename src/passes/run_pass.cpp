#include "passes/run_pass.h"

int NumberingCycle(const CalendarInstant& instant)
{
    // Floor to the even year, also below zero (never reached by a stamp's years).
    return instant.year - ((instant.year % 2 + 2) % 2);
}
