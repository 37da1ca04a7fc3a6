#pragma once

#include <QString>

namespace kb::address {

// What a screen reader calls the Edit page's field for a column of the
// address file: the file's own heading, so that the home and office fields,
// whose captions on the page are alike, are told apart.
QString accessibleFieldName(int column);

} // namespace kb::address
