#include "AddressFieldNames.h"

#include "common/AddressColumns.h"

namespace kb::address {

QString accessibleFieldName(int column)
{
    using namespace kb::common;
    switch (column) {
    case AliasColumn: return QStringLiteral("Alias");
    case NameColumn: return QStringLiteral("Name");
    case CategoryColumn: return QStringLiteral("Category");
    case Telephone1Column: return QStringLiteral("Tel");
    case Fax1Column: return QStringLiteral("Fax");
    case Postcode1Column: return QStringLiteral("Zip");
    case Address1Column: return QStringLiteral("Address");
    case BirthDateColumn: return QStringLiteral("Birthday");
    case OfficeColumn: return QStringLiteral("Office");
    case DepartmentColumn: return QStringLiteral("Dept");
    case PostColumn: return QStringLiteral("Post");
    case Telephone2Column: return QStringLiteral("Office Tel");
    case Fax2Column: return QStringLiteral("Office Fax");
    case Postcode2Column: return QStringLiteral("Office Zip");
    case Address2Column: return QStringLiteral("Office Address");
    case EmailColumn: return QStringLiteral("Email");
    case PhotoColumn: return QStringLiteral("Photo");
    case NoteColumn: return QStringLiteral("Note");
    default: return QString();
    }
}

} // namespace kb::address
