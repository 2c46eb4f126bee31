#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>

QString ErrorBoxText(const QString& errorText)
{
    if (!errorText.isEmpty() && errorText.back() > QLatin1Char('.'))
        return errorText + QLatin1Char('.');
    return errorText;
}

namespace {
void ShowModal(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("errorBox") : QStringLiteral("messageBox"));
    box.exec();
}
}  // namespace

void ShowErrorBox(const QString& errorText) { ShowModal(QMessageBox::Critical, ErrorBoxText(errorText)); }

void ShowMessage(const QString& text) { ShowModal(QMessageBox::NoIcon, text); }
