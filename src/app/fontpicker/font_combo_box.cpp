#include "app/fontpicker/font_combo_box.h"

#include "fonts/font_name_match.h"
#include "fonts/font_substitute.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <exception>

namespace {

int FontTypeOf(const QString& name)
{
    // Outline faces stand in for TrueType; anything else counts as raster. A
    // Windows name has the type of the face the font system binds to it.
    bool scalable = QFontDatabase::isScalable(name);
    if (!scalable) {
        const QString boundFace = FontSubstituteFamily(name);
        scalable = !boundFace.isEmpty() && QFontDatabase::isScalable(boundFace);
    }
    return scalable ? TFontComboBox::TrueTypeFontType : TFontComboBox::RasterFontType;
}

} // namespace

TFontComboBox::TFontComboBox(QWidget* parent, TFontSource fontSource)
    : TOwnerDrawComboBox(parent), m_fontSource(std::move(fontSource))
{
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this,
            &TFontComboBox::FontDatabaseChanged);
}

void TFontComboBox::setOptions(TFontCBOptions options)
{
    if (options == m_options)
        return;
    const QString shown = SelectedFontName();
    m_options = options;
    RebuildFontList();
    SelectFontByName(shown);
}

QString TFontComboBox::SelectedFontName() const
{
    return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

void TFontComboBox::SelectFontByName(const QString& name)
{
    if (SelectedFontName() == name)
        return;
    setCurrentIndex(IndexOfName(name));
}

void TFontComboBox::RebuildFontList()
{
    const bool wasUpdating = updatesEnabled();
    setUpdatesEnabled(false);
    clear();
    // Screen and printer draw with the same system fonts here, so one
    // enumeration serves both.
    if (m_options.contains(TFontCBOption::foScreenFonts)
        || m_options.contains(TFontCBOption::foPrinterFonts)) {
        try {
            AddFaces(m_fontSource ? m_fontSource() : QStringList());
        } catch (const std::exception&) {
            // No fonts to offer is not worth a message; the list stays as it is.
        }
    }
    // A combo box selects the first entry added to an empty list; the selection
    // went with the old entries and stays empty.
    setCurrentIndex(-1);
    setUpdatesEnabled(wasUpdating);
    update();
}

void TFontComboBox::UpdateItemHeight()
{
    const QString shown = SelectedFontName();
    // The text cell of "W": ascent plus descent, as for any single line.
    const int heightPx = QFontMetrics(font()).height();
    SetItemHeight(qMax(heightPx + 1, 10));
    SelectFontByName(shown);
}

void TFontComboBox::AddFaces(const QStringList& names)
{
    for (const QString& name : names)
        AddFace(name);
}

void TFontComboBox::AddFace(const QString& name)
{
    // Binary search for the sorted place; an equal name there is a duplicate.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(itemText(middle), name, Qt::CaseInsensitive) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < count() && QString::compare(itemText(low), name, Qt::CaseInsensitive) == 0)
        return;
    const int fontType = FontTypeOf(name);
    if (m_options.contains(TFontCBOption::foTrueTypeOnly) && !(fontType & TrueTypeFontType))
        return;
    insertItem(low, name, fontType);
}

int TFontComboBox::IndexOfName(const QString& name) const
{
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries << itemText(i);
    const QString entry = MatchingFontEntry(name, entries);
    return entry.isEmpty() ? -1 : int(entries.indexOf(entry));
}

void TFontComboBox::FontDatabaseChanged()
{
    const QString shown = SelectedFontName();
    RebuildFontList();
    UpdateItemHeight();
    SelectFontByName(shown);
}

void TFontComboBox::DrawItem(QPainter& painter, int index, const QRect& rectPx,
                             const TOwnerDrawState& state)
{
    const QPalette& colours = palette();
    QColor textColour;
    if (state.selected) {
        painter.fillRect(rectPx, colours.color(QPalette::Highlight));
        textColour = colours.color(QPalette::HighlightedText);
    } else {
        painter.fillRect(rectPx, colours.color(QPalette::Base));
        textColour = colours.color(state.disabled ? QPalette::Disabled : QPalette::Active,
                                   QPalette::Text);
    }

    const QString name = itemText(index);
    const bool ownFace = m_options.contains(state.closedBox ? TFontCBOption::foDisplaySelectedFont
                                                            : TFontCBOption::foDisplayFont);
    QFont face = font();
    if (ownFace)
        face.setFamilies(QStringList{name});
    painter.setFont(face);
    painter.setPen(textColour);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPoint cellTopLeftPx(rectPx.left() + 3, rectPx.top() + 1);
    painter.drawText(cellTopLeftPx + QPoint(0, painter.fontMetrics().ascent()), name);
}

void TFontComboBox::changeEvent(QEvent* event)
{
    TOwnerDrawComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateItemHeight();
}

bool TFontComboBox::event(QEvent* event)
{
    const bool handled = TOwnerDrawComboBox::event(event);
    // A picker made inside its window has that window's font from the start
    // and gets no font change for it; measure once it is about to be shown.
    if (event->type() == QEvent::Polish)
        UpdateItemHeight();
    return handled;
}
