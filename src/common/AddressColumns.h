#pragma once

namespace kb::common {

constexpr int addressColumnCount = 22;

// What each column of the address file holds. The reader and the writer do
// not care; the address book's fields are tied to these. Columns 17 to 19
// and 21 are carried through load and save untouched.
enum AddressColumn : int {
    AliasColumn = 0,
    NameColumn = 1,
    CategoryColumn = 2,
    Telephone1Column = 3,
    Fax1Column = 4,
    Postcode1Column = 5,
    Address1Column = 6,
    BirthDateColumn = 7,
    OfficeColumn = 8,
    DepartmentColumn = 9,
    PostColumn = 10,
    Telephone2Column = 11,
    Fax2Column = 12,
    Postcode2Column = 13,
    Address2Column = 14,
    EmailColumn = 15,
    PhotoColumn = 16,
    NoteColumn = 20,
};

} // namespace kb::common
