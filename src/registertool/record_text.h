#pragma once

#include "register/pass_register.h"

#include <QString>

// How list and find show a record on a terminal: every text the register
// holds goes through TerminalText.

// "yyyy-MM-dd HH:mm:ss" local, or "" for an invalid time.
QString LocalTime(const QDateTime& utc);

// "issued", "re-issued", "pending" or "pending re-issue".
QString StateText(const PassRecord& record);

// "run ID (program, user@host) to PDF file" or "... to queue NAME".
QString RunText(const PassRecord& record);

// The valid-on instant with a space for its "T".
QString ValidOnText(const PassRecord& record);

// "void 2026-03-02 10:15:00 by user@host: reason", or "" for a record not void.
QString VoidText(const PassRecord& record);

// "admitted 2026-03-02 10:15:00 at gate North (lane 03) by user@host", with
// "; undone ... by user@host: reason" for one undone.
QString AdmissionText(const Admission& admission);
