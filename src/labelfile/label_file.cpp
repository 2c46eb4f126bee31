#include "labelfile/label_file.h"

#include "common/tessary_error.h"
#include "labelfile/ini_document.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Barcode");

QString LineKey(int index) { return QString("Line %1").arg(index + 1); }
QString BoldKey(int index) { return QString("Bold %1").arg(index + 1); }
QString CheckBoxText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

bool IsDigitOf(QChar c, int base)
{
    if (c >= u'0' && c <= u'9')
        return true;
    return base == 16 && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
}

} // namespace

void SaveLabelFile(const QString& path, const LabelValues& values)
{
    IniDocument document = IniDocument::readFileForUpdate(path);
    document.setValue(kSection, "Cols", values.cols);
    document.setValue(kSection, "Rows", values.rows);
    document.setValue(kSection, "RowAdjust", values.rowAdjust);
    document.setValue(kSection, "ColAdjust", values.colAdjust);
    document.setValue(kSection, "Font", values.font);
    document.setValue(kSection, "FontSize", values.fontSize);
    document.setValue(kSection, "Type", values.type);
    document.setValue(kSection, "Center", CheckBoxText(values.center));
    document.setValue(kSection, "margin", values.leftMargin);
    document.setValue(kSection, "top", values.top);
    for (int i = 0; i < 5; ++i)
        document.setValue(kSection, LineKey(i), values.lines[i]);
    for (int i = 0; i < 5; ++i)
        document.setValue(kSection, BoldKey(i), CheckBoxText(values.bold[i]));
    document.writeFile(path);
}

LabelValues LoadLabelFile(const QString& path)
{
    const IniDocument document = IniDocument::readFile(path);
    const LabelValues defaults;
    LabelValues values;
    values.cols = document.value(kSection, "Cols", defaults.cols);
    values.rows = document.value(kSection, "Rows", defaults.rows);
    values.rowAdjust = document.value(kSection, "RowAdjust", defaults.rowAdjust);
    values.colAdjust = document.value(kSection, "ColAdjust", defaults.colAdjust);
    values.font = document.value(kSection, "Font", defaults.font);
    values.fontSize = document.value(kSection, "FontSize", defaults.fontSize);
    values.type = document.value(kSection, "Type", defaults.type);
    values.center = CheckBoxValueIsOn(document.value(kSection, "Center", QString()));
    values.leftMargin = document.value(kSection, "margin", defaults.leftMargin);
    values.top = document.value(kSection, "top", defaults.top);
    for (int i = 0; i < 5; ++i)
        values.bold[i] = CheckBoxValueIsOn(document.value(kSection, BoldKey(i), QString()));
    for (int i = 0; i < 5; ++i)
        values.lines[i] = document.value(kSection, LineKey(i), defaults.lines[i]);
    return values;
}

bool HoldsLabelSettings(const QString& path) { return IniDocument::readFile(path).hasSection(kSection); }

LabelValues LoadNamedLabelFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile() || info.isDir()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw TessaryError(QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString()),
                               ErrorKind::Usage);
    }
    try {
        if (HoldsLabelSettings(path))
            return LoadLabelFile(path);
    } catch (const TessaryError& error) {
        throw TessaryError(error.text(), ErrorKind::Usage);  // a file that cannot be read as named
    }
    throw TessaryError(QStringLiteral("%1 is not a label file").arg(path), ErrorKind::Refused);
}

bool CheckBoxValueIsOn(const QString& text)
{
    qsizetype pos = 0;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    int base = 10;
    if (pos < text.size() && text[pos] == u'$') {
        base = 16;
        pos += 1;
    } else if (text.size() > 2 && text.sliced(pos).startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size())
        return false;
    bool nonZero = false;
    for (; pos < text.size(); ++pos) {
        if (!IsDigitOf(text[pos], base))
            return false;
        nonZero = nonZero || text[pos] != u'0';
    }
    return nonZero;
}

int FindLaneIndex(const QString& typeText, const QStringList& lanes)
{
    for (int i = 0; i < lanes.size(); ++i) {
        if (lanes[i].compare(typeText, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
