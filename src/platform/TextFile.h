#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kb::platform {

// A text file opened for reading line by line, the way the DOS product's
// text files read: a CR ends a line (an LF directly after it belongs to the
// line end), a lone LF is an ordinary character, and a Ctrl-Z (26) ends the
// text. The file is read in chunks, so reading only the first line of a
// huge file costs little.
class TextFileReader {
public:
    // Opens dosName (see resolveDosPath); raises EInOutError when it cannot.
    explicit TextFileReader(std::string_view dosName);
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;
    ~TextFileReader();

    // Reads the next line into line, without its line end. At the end of the
    // text it gives an empty line and returns false. Raises EInOutError when
    // reading fails.
    bool readLine(std::string& line);

private:
    bool fill(); // appends a chunk; false at the end of the file

    std::string m_nativePath;
    int m_fd = -1;
    std::string m_buffer;
    std::size_t m_pos = 0;
    bool m_endOfFile = false;
    bool m_endOfText = false; // a Ctrl-Z was met
};

// Reads a whole file as bytes; raises EInOutError.
std::string readFileBytes(std::string_view dosName);

// Replaces the file dosName with bytes through a temporary file in the same
// directory and a rename, so that a failure never leaves half a file. An
// existing file keeps its permissions; one that may not be written is refused
// with "File access denied", as writing it in place would be. Raises EInOutError.
void writeFileReplacing(std::string_view dosName, std::string_view bytes);

} // namespace kb::platform
