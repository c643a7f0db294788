#include "addresses/addressinterchange.h"

using namespace Qt::StringLiterals;

AddressImportPlan readAddressFile(const QByteArray&)
{
    AddressImportPlan plan;
    plan.error = u"noch nicht gebaut"_s;
    return plan;
}

ImportReport storeAddresses(Database&, const AddressImportPlan& plan, const AddressCompletion&)
{
    ImportReport report;
    report.failed = true;
    report.error = plan.error;
    return report;
}

bool exportAddresses(Database&, QIODevice&, QString& error)
{
    error = u"noch nicht gebaut"_s;
    return false;
}
