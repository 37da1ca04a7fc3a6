#pragma once

#include <string>

namespace kb::common {

// The path values of the DOS installation. They are DOS names joined by plain
// concatenation, as the DOS product writes them: nothing adds or removes a
// separator, and only the file layer translates them.

// Dos_Dir: the directory that "Kestrelbook.Ini" in the working directory names.
std::string readDosDir();

// Data_Dir and System_Dir below Dos_Dir.
std::string dataDirOf(const std::string& dosDir);
std::string systemDirOf(const std::string& dosDir);

// Address_File: the file that "Rurized.ini" in Data_Dir names.
std::string readAddressFile(const std::string& dataDir);

} // namespace kb::common
