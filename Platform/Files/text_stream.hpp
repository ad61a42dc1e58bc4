#pragma once
// TextStream: a text file opened for reading, writing or appending (OpenTextFile,
// CreateTextFile, File.OpenAsTextStream).
//
// Writing keeps script's sense of a stream that writes as it goes, with one safeguard: when an
// existing file is rewritten (mode 2, or CreateTextFile over a file), the new text goes to a
// file beside it that replaces the original when the stream is closed or released. A failed
// write therefore never leaves the original truncated, and other readers see either the old
// text or the whole new one. New files and appends are written in place.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "Automation/object.hpp"
#include "file_handle.hpp"
#include "file_operations.hpp"
#include "text_encoding.hpp"
#include "text_stream_modes.hpp"

namespace lumora::files {

// OpenTextFile(path, mode, create, format). 53 when the file is missing and not created, 76
// when its folder is missing, 70 when a read-only file would be written.
Object openTextStream(const std::filesystem::path& file, IoMode mode, bool create, Tristate format);
// CreateTextFile(path, overwrite, unicode). 58 when the file exists and overwrite is off.
Object createTextFile(const std::filesystem::path& file, Overwrite overwrite, TextFormat format);

// The script values of the mode and format arguments; 5 for any other value.
IoMode ioModeOf(const Variant& value);
Tristate tristateOf(const Variant& value);

class TextStream : public Dispatch {
public:
    enum class Direction { Read, Write };

    // A stream reading `file`; `detect` lets a byte-order mark choose Unicode.
    TextStream(FileHandle file, TextFormat format, bool detect);
    // A stream writing into `file` (new, or opened for appending).
    TextStream(FileHandle file, TextFormat format);
    // A stream rewriting an existing file through its replacement.
    TextStream(ReplacementFile replacement, TextFormat format);
    ~TextStream() override;

    const TypeInfo& typeInfo() const override;

    // Reading. 62 when nothing is left; 52 on a stream opened for writing or closed.
    std::string readLine();
    std::string read(int32_t characters);
    std::string readAll();
    void skip(int32_t characters);
    void skipLine();
    bool atEndOfStream();
    bool atEndOfLine();
    // Writing. 52 on a stream opened for reading or closed.
    void write(std::string_view text);
    void close();

    int32_t line() const { return m_line; }
    int32_t column() const { return m_column; }

private:
    void require(Direction direction) const;
    bool fill();
    void compact();
    bool atEnd();
    std::string_view take(size_t bytes);
    FileHandle& output();

    Direction m_direction;
    TextFormat m_format;
    FileHandle m_file;
    std::optional<ReplacementFile> m_replacement;
    bool m_closed = false;
    bool m_broken = false;      // a write failed; the stream writes nothing more
    // Reading state: decoded UTF-8 text read ahead, and the position in it.
    std::string m_text;
    size_t m_at = 0;
    bool m_atFileEnd = false;
    bool m_firstChunk = true;
    bool m_detectFormat = false;
    Utf16LeDecoder m_decoder;
    int32_t m_line = 1;
    int32_t m_column = 1;
};

}  // namespace lumora::files
