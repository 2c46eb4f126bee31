#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The layout and heading settings that a label file holds, as the texts and
// check states of the window's controls.
struct LabelValues {
    QString cols = "4";
    QString rows = "20";
    QString rowAdjust = "0";
    QString colAdjust = "0";
    QString font = "Arial";
    QString fontSize = "1.0";
    QString type = "A";
    bool center = false;
    QString leftMargin;
    QString top;
    std::array<QString, 5> lines;
    std::array<bool, 5> bold = {};
};

// Writes the twenty keys of section "Barcode", into the existing file when
// there is one (its other lines are kept), as one all-or-nothing write.
// Throws "Unable to write to <path>" when the file cannot be written.
void SaveLabelFile(const QString& path, const LabelValues& values);

// Reads the keys; a missing or unreadable file, section or key gives the
// default of LabelValues. Only a FIFO, a device or a socket, which could hold
// the program up, throws (see IniDocument::readFile).
LabelValues LoadLabelFile(const QString& path);

// Whether the file holds the section the settings are kept in. The window
// takes any other file as all defaults; a script naming one has made a mistake.
// Throws as LoadLabelFile does.
bool HoldsLabelSettings(const QString& path);

// A label file someone named (on a command line, from a file manager): a file
// that is missing or cannot be opened, or that holds no settings, is a mistake,
// not a file of defaults. Throws TessaryError "Cannot open file <path>: <why>"
// (usage) and "<path> is not a label file" (refused). A FIFO or a device is
// not opened, where it could hold the program for ever: it is refused by its
// kind, as LoadLabelFile does.
LabelValues LoadNamedLabelFile(const QString& path);

// A stored check box value: a decimal number, or hexadecimal after "$" or
// (when longer than two characters) after "0x"/"0X", with an optional sign.
// Non-zero is on; zero, empty and anything else are off.
bool CheckBoxValueIsOn(const QString& text);

// The index of the lane equal to typeText ignoring letter case, or -1.
int FindLaneIndex(const QString& typeText, const QStringList& lanes);
