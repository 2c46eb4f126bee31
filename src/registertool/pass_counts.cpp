#include "registertool/pass_counts.h"

#include "registertool/terminal_text.h"

#include <QHash>
#include <algorithm>

namespace {

QString KeyOf(const PassRecord& record, CountBy by)
{
    switch (by) {
    case CountBy::Day:
        return record.recordedAt.toLocalTime().date().toString(Qt::ISODate);
    case CountBy::Lane:
        return record.lane;
    case CountBy::Run:
        return record.run.id;
    case CountBy::All:
        break;
    }
    return QString();
}

}  // namespace

QString CountByName(CountBy by)
{
    switch (by) {
    case CountBy::Day:
        return QStringLiteral("day");
    case CountBy::Lane:
        return QStringLiteral("lane");
    case CountBy::Run:
        return QStringLiteral("run");
    case CountBy::All:
        break;
    }
    return QString();
}

std::vector<CountGroup> CountRecords(const std::vector<PassRecord>& records, CountBy by)
{
    std::vector<CountGroup> groups;
    QHash<QString, std::size_t> index;
    if (by == CountBy::All)
        groups.push_back(CountGroup{});
    for (const PassRecord& record : records) {
        const QString key = KeyOf(record, by);
        const auto found = index.constFind(key);
        if (by != CountBy::All && found == index.constEnd()) {
            index.insert(key, groups.size());
            groups.push_back(CountGroup{key, {}});
        }
        PassCount& count = groups[by == CountBy::All ? 0 : index.value(key)].count;
        if (record.pending)
            ++count.pending;
        else if (record.reissue)
            ++count.reissued;
        else
            ++count.issued;
        count.voided += record.voided.IsVoid() ? 1 : 0;
        count.admitted += record.admittedAt.isValid() ? 1 : 0;
    }
    // Records come in the order they were taken: days and runs already are.
    if (by == CountBy::Lane)
        std::sort(groups.begin(), groups.end(), [](const CountGroup& a, const CountGroup& b) { return a.key < b.key; });
    return groups;
}

PassCount TotalCount(const std::vector<CountGroup>& groups)
{
    PassCount total;
    for (const CountGroup& group : groups) {
        total.issued += group.count.issued;
        total.reissued += group.count.reissued;
        total.pending += group.count.pending;
        total.voided += group.count.voided;
        total.admitted += group.count.admitted;
    }
    return total;
}

QString CountsText(const std::vector<CountGroup>& groups, CountBy by)
{
    const QString all = QStringLiteral("all");
    qsizetype width = std::max(CountByName(by).size(), all.size());
    for (const CountGroup& group : groups)
        width = std::max(width, TerminalText(group.key).size());
    const auto line = [width](const QString& key, const QStringList& cells) {
        static const int widths[] = {6, 9, 7, 4, 8};  // "issued", "re-issued", "pending", "void", "admitted"
        QString text = key.leftJustified(width);
        for (int i = 0; i < 5; ++i)
            text += QStringLiteral("  ") + cells.at(i).rightJustified(widths[i]);
        return text + QLatin1Char('\n');
    };
    const auto numbers = [](const PassCount& c) {
        return QStringList{QString::number(c.issued), QString::number(c.reissued), QString::number(c.pending),
                           QString::number(c.voided), QString::number(c.admitted)};
    };
    QString text = line(CountByName(by), {QStringLiteral("issued"), QStringLiteral("re-issued"),
                                          QStringLiteral("pending"), QStringLiteral("void"),
                                          QStringLiteral("admitted")});
    if (by != CountBy::All) {
        for (const CountGroup& group : groups)
            text += line(TerminalText(group.key), numbers(group.count));
    }
    return text + line(all, numbers(TotalCount(groups)));
}
