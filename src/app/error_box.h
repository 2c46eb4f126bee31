#pragma once

#include <QString>

class QWidget;

// Text of the application's error box: the error's text, with a full stop
// appended when its last character sorts after one.
QString ErrorBoxText(const QString& errorText);

// The application's one error box: modal, captioned with the application title.
void ShowErrorBox(const QString& errorText);

// A modal message with one OK button, captioned with the application title.
void ShowMessage(const QString& text);

// Runs an event handler; an error escaping it is shown in the error box and the
// program goes on.
template <typename Handler>
void RunGuarded(Handler&& handler);

#include "app/error_box_impl.h"
