#pragma once

#include "app/fontpicker/font_combo_box.h"

#include <QStringList>

#include <memory>

// The options the main window gives its picker.
inline TFontCBOptions WindowPickerOptions()
{
    return {TFontCBOption::foPrinterFonts, TFontCBOption::foDisplayFont,
            TFontCBOption::foDisplaySelectedFont};
}

// A picker set up as the window sets it, listing the given faces.
inline std::unique_ptr<TFontComboBox> PickerWithFaces(const QStringList& faces)
{
    auto picker = std::make_unique<TFontComboBox>(nullptr, [faces] { return faces; });
    picker->setOptions(WindowPickerOptions());
    return picker;
}

inline QStringList Entries(const TFontComboBox& picker)
{
    QStringList names;
    for (int i = 0; i < picker.count(); ++i)
        names << picker.itemText(i);
    return names;
}

// The names once each, compared without regard to case, first spelling kept.
inline QStringList UniqueIgnoringCase(const QStringList& names)
{
    QStringList unique;
    for (const QString& name : names) {
        if (!unique.contains(name, Qt::CaseInsensitive))
            unique << name;
    }
    return unique;
}
