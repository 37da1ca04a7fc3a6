#pragma once

#include <string>
#include <vector>

namespace kb::exporter {

// Runs kestrelbook-export with the arguments after its name and returns its
// exit status: 0 done, 1 a file could not be read or written, 2 a wrong
// command line. Warnings and errors go to standard error.
int runExportCommand(const std::vector<std::string>& arguments);

} // namespace kb::exporter
