#pragma once

#include <QString>

// text with every control character (C0, DEL, C1) written as \xHH, so that a
// lane, a host or a file name kept in the register cannot move the cursor,
// retitle the window or start an escape sequence on the terminal it is listed on.
QString TerminalText(const QString& text);
