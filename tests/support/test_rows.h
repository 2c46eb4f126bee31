#pragma once

#include "passes/pass_list.h"
#include "passes/valid_on_stamp.h"
#include "sheet/layout_settings.h"

#include <QDate>
#include <QString>
#include <QTime>

// A pass-list row as the window adds it: the lane, the quantity as typed, and
// the instant its passes are valid from (1 March 2002 at noon unless a test
// needs another).
inline PassListRow Row(const QString& lane, const QString& quantity, QTime time = QTime(12, 0),
                       QDate date = QDate(2002, 3, 1))
{
    PassListRow row;
    row.lane = lane;
    row.validOnStamp = EncodeValidOnStamp(date, time);
    row.quantityText = quantity;
    return row;
}

inline PassListRow Row(const QString& lane, int quantity, QTime time = QTime(12, 0), QDate date = QDate(2002, 3, 1))
{
    return Row(lane, QString::number(quantity), time, date);
}

// A sheet of cols by rows passes at the worked example's margins (0.25 in at
// the left, 0.5 in at the top), with no heading lines.
inline LayoutSettings SheetLayout(int cols, int rows)
{
    LayoutSettings s;
    s.cols = cols;
    s.rows = rows;
    s.leftMarginInches = 0.25;
    s.topMarginInches = 0.5;
    return s;
}
