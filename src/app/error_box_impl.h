#pragma once

#include <exception>

template <typename Handler>
void RunGuarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromStdString(error.what()));
    }
}
