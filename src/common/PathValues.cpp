#include "PathValues.h"

#include "common/uCommon.h"

namespace kb::common {

std::string readDosDir()
{
    return ReadDataFileName("Kestrelbook.ini");
}

std::string dataDirOf(const std::string& dosDir)
{
    return dosDir + "\\Data";
}

std::string systemDirOf(const std::string& dosDir)
{
    return dosDir + "\\System";
}

std::string readAddressFile(const std::string& dataDir)
{
    return ReadDataFileName(dataDir + "\\Rurized.ini");
}

} // namespace kb::common
