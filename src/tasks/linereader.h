#pragma once

#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

struct FileCloser {
    void operator()(std::FILE* file) const { (void)std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads a file's lines whole, whatever their length, in large blocks. A line is handed out
// with its line feed; the last line of the file may lack one.
class CLineReader {
public:
    explicit CLineReader(std::FILE* file);

    // The next line, valid until the next call; false at the end of the file or on a read
    // error (see Failed).
    bool Next(std::string_view& line);

    bool Failed() const { return m_bFailed; }

private:
    bool Fill();

    std::FILE* m_pFile;
    std::vector<char> m_buffer;
    size_t m_nBegin = 0;    // first byte not yet handed out
    size_t m_nEnd = 0;      // end of the bytes read so far
    size_t m_nScanned = 0;  // bytes from m_nBegin already searched for a line feed
    bool m_bEof = false;
    bool m_bFailed = false;
};
