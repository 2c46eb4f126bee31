#pragma once

#include "app/fontpicker/font_cb_options.h"
#include "app/fontpicker/owner_draw_combo_box.h"
#include "fonts/system_typefaces.h"

#include <QStringList>

#include <functional>

// Gives the typefaces a device offers, in the order the system reports them.
using TFontSource = std::function<QStringList()>;

// The printer font picker: a drop-down list of typefaces, sorted and unique
// without regard to case, each entry drawn in its own typeface. The program
// reads the chosen name when it needs it; nothing listens to the picker.
class TFontComboBox : public TOwnerDrawComboBox {
    Q_OBJECT

public:
    // The font system's type bits kept with each entry.
    static constexpr int RasterFontType = 1;
    static constexpr int DeviceFontType = 2;
    static constexpr int TrueTypeFontType = 4;
    static constexpr int FontTypeRole = Qt::UserRole;

    explicit TFontComboBox(QWidget* parent = nullptr, TFontSource fontSource = SystemFontFamilies);

    TFontCBOptions Options() const { return m_options; }
    void setOptions(TFontCBOptions options);

    // Kept for the sample tip beside the open list, which this program never shows.
    QString ExampleText() const { return m_exampleText; }
    void setExampleText(const QString& text) { m_exampleText = text; }
    bool ShowExample() const { return m_showExample; }
    void setShowExample(bool show) { m_showExample = show; }

    // The selected entry's name as the list holds it, or "" with nothing selected.
    QString SelectedFontName() const;
    // Selects the entry of that name: the one shown if it is exactly that name,
    // else the first whose name equals it with the letters A-Z in any case;
    // with no such entry nothing is selected.
    void SelectFontByName(const QString& name);

    void RebuildFontList();
    void UpdateItemHeight();

protected:
    void DrawItem(QPainter& painter, int index, const QRect& rectPx,
                  const TOwnerDrawState& state) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void AddFaces(const QStringList& names);
    void AddFace(const QString& name);
    int IndexOfName(const QString& name) const;
    void FontDatabaseChanged();

    TFontSource m_fontSource;
    TFontCBOptions m_options{TFontCBOption::foScreenFonts, TFontCBOption::foDisplaySymbol,
                             TFontCBOption::foDisplaySelectedFont};
    QString m_exampleText = QStringLiteral("Abc");
    bool m_showExample = false;
};
