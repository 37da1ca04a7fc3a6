#include "CommandLine.h"

#include "platform/text/AsciiCase.h"

#include <algorithm>

namespace kb::exporter {

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::string codePageTableName(const std::string& written)
{
    std::string name = platform::asciiLowered(written);
    for (const char* prefix : {"windows-", "cp", "ibm"}) {
        if (startsWith(name, prefix)) {
            name.erase(0, std::string(prefix).size());
            break;
        }
    }
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw UsageError("unknown code page '" + written + "'");
    return "cp" + name;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    std::vector<std::string> operands;
    bool csv = false;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // The value of an option, given after it or after '='.
        const auto valueOf = [&](const std::string& option) {
            if (argument.size() > option.size() && argument[option.size()] == '=')
                return argument.substr(option.size() + 1);
            if (i + 1 == arguments.size())
                throw UsageError("option '" + option + "' needs a value");
            return arguments[++i];
        };
        const auto is = [&argument](const std::string& option) {
            return argument == option || startsWith(argument, option + "=");
        };
        if (!options || argument == "-" || argument.empty() || argument[0] != '-') {
            operands.push_back(argument);
        } else if (argument == "--") {
            options = false;
        } else if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (argument == "--csv") {
            csv = true;
        } else if (startsWith(argument, "--csv=")) {
            csv = true;
            const std::string form = argument.substr(6);
            if (form == "google")
                line.csvForm = CsvForm::Google;
            else if (form != "thunderbird")
                throw UsageError("unknown CSV form '" + form + "' (thunderbird or google)");
        } else if (is("--code-page")) {
            line.codePage = codePageTableName(valueOf("--code-page"));
        } else if (is("--output")) {
            line.output = valueOf("--output");
        } else if (argument == "-o") {
            line.output = valueOf("-o");
        } else if (startsWith(argument, "-o")) {
            line.output = argument.substr(2);
        } else if (is("--vdir")) {
            line.vdirDirectory = valueOf("--vdir");
            if (line.vdirDirectory.empty())
                throw UsageError("--vdir needs a folder");
        } else if (is("--import")) {
            line.action = CommandLine::Action::Import;
            line.cardFile = valueOf("--import");
        } else {
            throw UsageError("unknown option '" + argument + "'");
        }
    }
    if (line.action == CommandLine::Action::Import && (csv || !line.output.empty()))
        throw UsageError("--import writes into the address file; --csv and -o do not go with it");
    if (!line.vdirDirectory.empty() && (csv || !line.output.empty() || line.action == CommandLine::Action::Import))
        throw UsageError("--vdir writes a folder of cards; --csv, -o and --import do not go with it");
    if (operands.empty())
        throw UsageError("no address file given");
    if (operands.size() > 1)
        throw UsageError("one address file at a time; '" + operands[1] + "' is one too many");
    if (line.action == CommandLine::Action::Import && line.cardFile.empty())
        throw UsageError("--import needs a vCard file");
    line.addressFile = operands[0];
    if (csv)
        line.action = CommandLine::Action::ExportCsv;
    if (!line.vdirDirectory.empty())
        line.action = CommandLine::Action::ExportVdir;
    return line;
}

std::string usageText()
{
    return "Usage: kestrelbook-export [--code-page CP] [--csv[=FORM]] [-o FILE] ADDRESS_FILE\n"
           "       kestrelbook-export [--code-page CP] --vdir DIR ADDRESS_FILE\n"
           "       kestrelbook-export [--code-page CP] --import VCF ADDRESS_FILE\n"
           "\n"
           "Writes the addresses of a Kestrelbook address file as vCard 3.0 (UTF-8),\n"
           "or reads the cards of a vCard file (4.0, 3.0 or 2.1) and appends them to\n"
           "the address file.\n"
           "\n"
           "  --code-page CP  the code page the address file is written in: cp437,\n"
           "                  cp850, cp852, cp866, cp874, cp1250 to cp1258\n"
           "                  (default: the ANSI code page of the locale's language,\n"
           "                  as Kestrelbook 98 shows the file)\n"
           "  --csv[=FORM]    write CSV instead of vCard, with the headings that\n"
           "                  FORM's importer maps by itself: thunderbird (the\n"
           "                  default) or google (Google Contacts)\n"
           "  -o, --output FILE\n"
           "                  write to FILE instead of standard output\n"
           "  --vdir DIR      write one card file per address into the folder DIR,\n"
           "                  for vdirsyncer and CardDAV; a later export rewrites\n"
           "                  only the cards that changed (see the manual page)\n"
           "  --import VCF    append the cards of VCF (- for standard input) to\n"
           "                  ADDRESS_FILE; every character the code page cannot\n"
           "                  hold is stored as '?' and reported\n"
           "  -h, --help      show this help and exit\n"
           "      --version   show the version and exit\n"
           "\n"
           "Exit status: 0 when everything was taken over, 1 when nothing was\n"
           "written (a file cannot be read or written, or holds no cards), 2 for a\n"
           "wrong command line, 3 when the output was written but something was\n"
           "left out or changed, as the messages on standard error say.\n";
}

} // namespace kb::exporter
