// One save or one start, for the test that kills it at each system call:
//   save-kill-helper save FILE LETTER LENGTH   (LENGTH times LETTER)
//   save-kill-helper start FILE                (roll back, tidy FILE's directory)
// Each first touches a name the test looks for, so that only the calls after
// it are killed.
#include "platform/files/FileReplacing.h"
#include "platform/files/SaveJournal.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string_view mode = argv[1];
    const auto file = kb::platform::FileName::native(argv[2]);
    if (mode == "save" && argc == 5) {
        const std::string content(std::strtoul(argv[4], nullptr, 10), argv[3][0]);
        ::access("kb-kill-marker", F_OK);
        try {
            kb::platform::writeFileReplacing(file, content);
        } catch (...) {
            return 1;
        }
        return 0;
    }
    if (mode == "start") {
        ::access("kb-kill-marker", F_OK);
        kb::platform::rollBackInterruptedSaves();
        kb::platform::removeLeftoversBeside(file);
        return 0;
    }
    return 2;
}
