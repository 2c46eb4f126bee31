#pragma once

#include "fonts/heading_style_source.h"
#include "labelfile/label_file.h"
#include "sheet/layout_settings.h"

// The layout settings a label file gives a run, read as the window reads its
// controls once Load has filled them (the file's lane plays no part).
LayoutSettings LabelLayoutSettings(const LabelValues& values);

// The label file's centring and heading face, fixed for the whole run.
class LabelHeadingStyle : public HeadingStyleSource {
public:
    LabelHeadingStyle(bool centred, QString faceName) : centred_(centred), faceName_(std::move(faceName)) {}
    bool Centred() const override { return centred_; }
    QString FaceName() const override { return faceName_; }

private:
    bool centred_;
    QString faceName_;
};
