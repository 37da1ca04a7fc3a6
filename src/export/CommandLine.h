#pragma once

#include "export/AddressCsv.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kb::exporter {

// A command line that asks for something the command does not do; the
// message says what, for the user.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    enum class Action { ExportVCard, ExportCsv, ExportVdir, Import, Help, Version };
    Action action = Action::ExportVCard;
    CsvForm csvForm = CsvForm::Thunderbird;
    // The code page's table name ("cp850"); nothing for the locale's.
    std::optional<std::string> codePage;
    std::string addressFile;
    // Where the export goes; "-" or nothing for standard output.
    std::string output;
    // The folder of a vdir export.
    std::string vdirDirectory;
    // The cards to import; "-" for standard input.
    std::string cardFile;
};

// Reads the arguments after the command's name. Raises UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The table name of a code page as the user may write it: "cp850",
// "CP850", "850", "windows-1252", "ibm437".
std::string codePageTableName(const std::string& written);

// What --help prints.
std::string usageText();

} // namespace kb::exporter
