#pragma once

#include "FileName.h"

#include <cstddef>
#include <functional>
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
    // Opens the file; raises EInOutError when it cannot.
    explicit TextFileReader(const FileName& name);
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
std::string readFileBytes(const FileName& name);

// Replaces the file with bytes through a temporary file in the same
// directory and a rename, so that a failure never leaves half a file. An
// existing file keeps its permissions; one that may not be written is refused
// with "File access denied", as writing it in place would be. Raises EInOutError.
void writeFileReplacing(const FileName& name, std::string_view bytes);

// Receives a file's new content piece by piece.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

// Replaces the file as above with the content that produce writes into the
// sink, so that a large file is never held whole in memory.
void writeFileReplacing(const FileName& name, const std::function<void(ByteSink&)>& produce);

} // namespace kb::platform
