#include "verify/partly_read_passes.h"

namespace {

constexpr int kPassesNamed = 3;

}  // namespace

QString PartlyReadText(const QStringList& passNumbers)
{
    const QString named = passNumbers.mid(0, kPassesNamed).join(QStringLiteral(", "));
    const qsizetype more = passNumbers.size() - kPassesNamed;
    const QString passes = passNumbers.size() == 1 ? QStringLiteral("The barcode of pass %1 reads").arg(named)
                           : more > 0 ? QStringLiteral("The barcodes of passes %1 and %2 more read").arg(named).arg(more)
                                      : QStringLiteral("The barcodes of passes %1 read").arg(named);
    return passes + QStringLiteral(" only in part on the sheet: a heading or another pass covers some of the bars.");
}

QString PartlyReadQuestion(const QStringList& passNumbers)
{
    return PartlyReadText(passNumbers) + QStringLiteral(" Print anyway?");
}

PartlyReadBarcodesError::PartlyReadBarcodesError(const QStringList& passNumbers)
    : TessaryError(PartlyReadText(passNumbers), ErrorKind::Refused), passNumbers_(passNumbers)
{
}
