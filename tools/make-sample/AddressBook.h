#pragma once

#include "Portraits.h"

#include <string>
#include <vector>

// One invented address of the sample address file.
struct SampleAddress {
    std::string alias, name, category;
    std::string tel, fax, zip, address, birthday;
    std::string office, dept, post;
    std::string officeTel, officeFax, officeZip, officeAddress;
    std::string email;
    std::string photoFile;    // file name in the photo directory; empty for none
    std::string note;         // lines separated by LF
    bool photoShipped = true; // false: the address names a photo that is not there
    Portrait portrait{};
};

const std::vector<SampleAddress>& sampleAddresses();

// The DOS path under which the address file names a photo.
std::string photoDosPath(const std::string& photoFile);

// The bytes of the address file: a heading line, one line of 22 fields per
// address and the empty trailer line, every line ended by CR LF.
std::string addressFileBytes(const std::vector<SampleAddress>& addresses);

// A field as the address file stores it: quoted, with inner quotes doubled,
// when it holds a comma or a double quote; otherwise unchanged.
std::string quotedField(const std::string& value);

// The bytes of the DOS product's settings file that names the address file.
std::string settingsFileBytes();
