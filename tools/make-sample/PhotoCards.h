#pragma once

#include "AddressBook.h"
#include "Metafiles.h"

#include <string>

// A photo drawn as a metafile rather than a bitmap: the portrait as an
// embedded bitmap beside the name, on a small landscape of filled shapes and
// lines. It fits the address book's photo panel unscaled.
std::string photoCard(const SampleAddress& address, MetafileKind kind);
