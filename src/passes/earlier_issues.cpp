#include "passes/earlier_issues.h"

#include "passes/month_date_text.h"

#include <QSysInfo>

namespace {

QString PassesText(int count) { return count == 1 ? QStringLiteral("1 pass") : QStringLiteral("%1 passes").arg(count); }

QString FirstRunText(const EarlierIssues& found)
{
    QString text = QStringLiteral("first on %1 %2 by the run to %3")
                       .arg(ShortMonthDateText(found.firstAt.date()),
                            found.firstAt.time().toString(QStringLiteral("hh:mm")),
                            found.firstOutput.toFile ? QStringLiteral("PDF") : found.firstOutput.name);
    // A run left pending is looked for at its job.
    if (!found.firstOutput.job.isEmpty())
        text += QStringLiteral(", job %1").arg(found.firstOutput.job);
    if (!found.firstHost.isEmpty() && found.firstHost != QSysInfo::machineHostName())
        text += QStringLiteral(" on ") + found.firstHost;
    return text;
}

// A pass printed before and voided since is still asked about: its barcode
// is the same, and the gate is told it is void.
QString VoidText(const EarlierIssues& found)
{
    if (found.voided == 0)
        return QString();
    if (found.voided == found.passes)
        return found.passes == 1 ? QStringLiteral("; it is void") : QStringLiteral("; they are void");
    return QStringLiteral("; %1 of them %2 void").arg(found.voided).arg(found.voided == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

QString Facts(const EarlierIssues& found)
{
    const bool one = found.passes == 1;
    if (found.mayHavePrinted == 0) {
        return QStringLiteral("%1 of this run %2 printed before (%3)")
            .arg(PassesText(found.passes), one ? QStringLiteral("was") : QStringLiteral("were"), FirstRunText(found));
    }
    if (found.mayHavePrinted == found.passes) {
        return QStringLiteral("%1 of this run may have printed before: the run that took %2 has not finished (%3)")
            .arg(PassesText(found.passes), one ? QStringLiteral("it") : QStringLiteral("them"), FirstRunText(found));
    }
    return QStringLiteral("%1 of this run were printed before, %2 of them by a run that has not finished and "
                          "may have printed (%3)")
        .arg(PassesText(found.passes))
        .arg(found.mayHavePrinted)
        .arg(FirstRunText(found));
}

}  // namespace

QString EarlierIssuesFacts(const EarlierIssues& found) { return Facts(found) + VoidText(found); }

QString ReprintQuestion(const EarlierIssues& found)
{
    return EarlierIssuesFacts(found)
           + (found.passes == 1 ? QStringLiteral(". Print it again?") : QStringLiteral(". Print them again?"));
}
