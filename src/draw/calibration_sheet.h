#pragma once

#include "draw/drawing_surface.h"
#include "sheet/layout_settings.h"
#include "sheet/sheet_geometry.h"

#include <QPointF>

// The two corners the operator reads a calibration sheet at, in inches from
// the sheet's corner as the layout has them: the first cell's top-left and
// the last cell's bottom-right.
struct CalibrationCorners {
    QPointF first;
    QPointF last;
};
CalibrationCorners CalibrationCornersOf(const SheetGeometry& geometry, const LayoutSettings& settings);

// Where the rulers' ticks of a calibration sheet stand, in inches from the
// sheet's corner as the layout has them, so that a ruler read at a cut line
// gives the layout's position of that line: ticks every 0.01 in within
// kFineRulerReachInches of each corner, longer at every 0.05 in and longest
// (and numbered) at every 0.1 in. The corner's X ruler runs across the
// cell kRulerInsetInches inside its edge, ticks toward that edge and numbers
// away from it; the Y ruler likewise down it. Along the top and left edges
// the rulers go on to the far corner with a tick every 0.1 in.
constexpr double kFineRulerReachInches = 0.20;
constexpr double kRulerInsetInches = 0.35;
constexpr double kFineTickInches = 0.04;
constexpr double kHalfTickInches = 0.07;
constexpr double kTenthTickInches = 0.11;

// One page for lining up an output: rulers along the top and left edges of
// the stock and at the last cell's far corner, the layout's cell outlines and
// the instructions. Drawn through the geometry's correction like a run.
void DrawCalibrationSheet(DrawingSurface& surface, const SheetGeometry& geometry, const LayoutSettings& settings);
