// The metafile helper that the program starts: it plays .wmf and .emf files
// in its sandbox and hands back their pixels.
#include "platform/pictures/MetafileHelperProcess.h"
#include "platform/pictures/MetafilePlayer.h"

int main(int argc, char** argv)
{
    return kb::platform::runMetafileHelper(argc, argv, kb::platform::playMetafile);
}
