#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program. Its text is shown as it stands by the
// application's error box, so it must be exactly the text the operator sees.
class TessaryError : public std::runtime_error {
public:
    explicit TessaryError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};
