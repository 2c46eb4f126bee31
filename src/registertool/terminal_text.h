#pragma once

#include <QByteArray>
#include <QString>

// text with every control character (C0, DEL, C1) written as \xHH, so that a
// lane, a host or a file name kept in the register cannot move the cursor,
// retitle the window or start an escape sequence on the terminal it is listed on.
QString TerminalText(const QString& text);

// A JSON document's text with DEL and the C1 controls written as \u00XX as
// well (QJsonDocument escapes only C0): outside its strings JSON text holds
// no such character, so the document reads back the same.
QString TerminalJson(const QByteArray& json);
