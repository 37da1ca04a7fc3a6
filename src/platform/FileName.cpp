#include "FileName.h"

#include "DosPath.h"

namespace kb::platform {

std::string FileName::nativePath() const
{
    return m_native ? m_text : resolveDosPath(m_text);
}

std::string dosFormOf(std::string_view nativePath)
{
    return std::string(nativePath);
}

} // namespace kb::platform
