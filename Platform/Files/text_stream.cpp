#include "text_stream.hpp"

#include <algorithm>
#include <array>
#include <system_error>

#include "Automation/error.hpp"
#include "Automation/vb/utf8.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

constexpr size_t kChunk = 1 << 16;
constexpr std::string_view kLineBreak = "\r\n";  // what WriteLine ends a line with, as script does

void requireWritable(const fs::path& file) {
    if (!isKind(file, EntryKind::File) || isReadOnly(file)) raise(RuntimeError::PermissionDenied);
}

void requireFolderOf(const fs::path& file) {
    if (!isKind(file.parent_path(), EntryKind::Folder)) raise(RuntimeError::PathNotFound);
}

Object newFileStream(const fs::path& file, TextFormat format) {
    requireFolderOf(file);
    FileHandle handle = FileHandle::open(file, FileHandle::Access::Write, FileHandle::Creation::CreateNew);
    if (format == TextFormat::Unicode) handle.writeAll(kUtf16LeBom);
    return makeObject<TextStream>(std::move(handle), format);
}

Object replacingStream(const fs::path& file, TextFormat format) {
    requireWritable(file);
    ReplacementFile replacement(file);
    if (format == TextFormat::Unicode) replacement.handle().writeAll(kUtf16LeBom);
    return makeObject<TextStream>(std::move(replacement), format);
}

}  // namespace

IoMode ioModeOf(const Variant& value) {
    int32_t mode = value.toI4();
    if (mode != 1 && mode != 2 && mode != 8) raise(RuntimeError::InvalidProcedureCall);
    return static_cast<IoMode>(mode);
}

Tristate tristateOf(const Variant& value) {
    int32_t format = value.toI4();
    if (format != -2 && format != -1 && format != 0) raise(RuntimeError::InvalidProcedureCall);
    return static_cast<Tristate>(format);
}

Object openTextStream(const fs::path& file, IoMode mode, bool create, Tristate format) {
    TextFormat chosen = format == Tristate::True ? TextFormat::Unicode : TextFormat::Ansi;
    bool present = entryPresent(file);
    if (!present && !create) {
        if (!isKind(file.parent_path(), EntryKind::Folder)) raise(RuntimeError::PathNotFound);
        raise(RuntimeError::FileNotFound);
    }
    switch (mode) {
        case IoMode::Reading: {
            if (!present) newFileStream(file, TextFormat::Ansi);  // created empty, then read
            FileHandle handle = FileHandle::open(file, FileHandle::Access::Read, FileHandle::Creation::OpenExisting);
            return makeObject<TextStream>(std::move(handle), chosen, format == Tristate::UseDefault);
        }
        case IoMode::Writing:
            return present ? replacingStream(file, chosen) : newFileStream(file, chosen);
        case IoMode::Appending: {
            if (!present) return newFileStream(file, chosen);
            requireWritable(file);
            FileHandle handle = FileHandle::open(file, FileHandle::Access::Append, FileHandle::Creation::OpenExisting);
            if (chosen == TextFormat::Unicode && handle.size() == 0) handle.writeAll(kUtf16LeBom);
            return makeObject<TextStream>(std::move(handle), chosen);
        }
    }
    raise(RuntimeError::InvalidProcedureCall);
}

Object createTextFile(const fs::path& file, Overwrite overwrite, TextFormat format) {
    if (!entryPresent(file)) return newFileStream(file, format);
    if (overwrite == Overwrite::No) raise(RuntimeError::FileAlreadyExists);
    return replacingStream(file, format);
}

TextStream::TextStream(FileHandle file, TextFormat format, bool detect)
    : m_direction(Direction::Read), m_format(format), m_file(std::move(file)), m_detectFormat(detect) {}

TextStream::TextStream(FileHandle file, TextFormat format)
    : m_direction(Direction::Write), m_format(format), m_file(std::move(file)) {}

TextStream::TextStream(ReplacementFile replacement, TextFormat format)
    : m_direction(Direction::Write), m_format(format), m_replacement(std::move(replacement)) {}

TextStream::~TextStream() {
    // Released without Close: the text written so far is kept, as script's streams keep it.
    try {
        close();
    } catch (...) {
    }
}

void TextStream::require(Direction direction) const {
    if (m_closed || m_direction != direction) raise(RuntimeError::BadFileNameOrNumber);
}

FileHandle& TextStream::output() { return m_replacement ? m_replacement->handle() : m_file; }

bool TextStream::fill() {
    size_t before = m_text.size();
    while (!m_atFileEnd && m_text.size() == before) {
        std::array<char, kChunk> buffer;
        size_t got = m_file.read(buffer);
        std::string_view bytes(buffer.data(), got);
        if (m_firstChunk) {
            m_firstChunk = false;
            bool marked = bytes.substr(0, 2) == kUtf16LeBom;
            if (m_detectFormat) m_format = marked ? TextFormat::Unicode : TextFormat::Ansi;
            if (m_format == TextFormat::Unicode && marked) bytes.remove_prefix(2);
        }
        if (got == 0) {
            m_atFileEnd = true;
            if (m_format == TextFormat::Unicode) m_decoder.finish(m_text);
        } else if (m_format == TextFormat::Unicode) {
            m_decoder.decode(bytes, m_text);
        } else {
            m_text.append(bytes);
        }
    }
    return m_text.size() > before;
}

void TextStream::compact() {
    if (m_at > kChunk && m_at * 2 > m_text.size()) {
        m_text.erase(0, m_at);
        m_at = 0;
    }
}

bool TextStream::atEnd() { return m_at == m_text.size() && !fill(); }

// Consumes `bytes` of the text read ahead, keeping Line and Column.
std::string_view TextStream::take(size_t bytes) {
    std::string_view taken(m_text.data() + m_at, bytes);
    m_at += bytes;
    size_t lastBreak = taken.rfind('\n');
    if (lastBreak == std::string_view::npos) {
        m_column += static_cast<int32_t>(vb::utf8::length(taken));
    } else {
        for (char c : taken) m_line += c == '\n';
        m_column = 1 + static_cast<int32_t>(vb::utf8::length(taken.substr(lastBreak + 1)));
    }
    return taken;
}

std::string TextStream::readLine() {
    require(Direction::Read);
    compact();
    if (atEnd()) raise(RuntimeError::InputPastEndOfFile);
    size_t searchFrom = m_at;
    for (;;) {
        size_t found = m_text.find_first_of("\r\n", searchFrom);
        if (found == std::string::npos) {
            searchFrom = m_text.size();
            if (fill()) continue;
            std::string line(m_text, m_at);
            take(m_text.size() - m_at);
            return line;
        }
        // A carriage return at the end of what was read may be the first half of CR LF.
        if (m_text[found] == '\r' && found + 1 == m_text.size() && fill()) {
            searchFrom = found;
            continue;
        }
        std::string line(m_text, m_at, found - m_at);
        size_t breakLength = m_text.compare(found, 2, "\r\n") == 0 ? 2 : 1;
        m_at = found + breakLength;
        ++m_line;
        m_column = 1;
        return line;
    }
}

std::string TextStream::read(int32_t characters) {
    require(Direction::Read);
    if (characters < 0) raise(RuntimeError::InvalidProcedureCall);
    if (characters == 0) return {};
    compact();
    if (atEnd()) raise(RuntimeError::InputPastEndOfFile);
    // A character takes at most four bytes; with that much read ahead no character is cut.
    size_t wanted = static_cast<size_t>(characters) * 4 + 3;
    while (m_text.size() - m_at < wanted && fill()) {
    }
    std::string_view rest(m_text.data() + m_at, m_text.size() - m_at);
    return std::string(take(vb::utf8::offsetOf(rest, static_cast<size_t>(characters))));
}

std::string TextStream::readAll() {
    require(Direction::Read);
    if (atEnd()) raise(RuntimeError::InputPastEndOfFile);
    while (fill()) {
    }
    return std::string(take(m_text.size() - m_at));
}

void TextStream::skip(int32_t characters) { read(characters); }

void TextStream::skipLine() { readLine(); }

bool TextStream::atEndOfStream() {
    require(Direction::Read);
    return atEnd();
}

bool TextStream::atEndOfLine() {
    require(Direction::Read);
    return atEnd() || m_text[m_at] == '\r' || m_text[m_at] == '\n';
}

void TextStream::write(std::string_view text) {
    require(Direction::Write);
    if (m_broken) raise(RuntimeError::BadFileNameOrNumber);
    try {
        output().writeAll(m_format == TextFormat::Unicode ? toUtf16Le(text) : std::string(text));
    } catch (...) {
        // The original of a rewritten file stays as it was; a new file keeps what was written.
        m_broken = true;
        if (m_replacement) m_replacement->discard();
        throw;
    }
    size_t lastBreak = text.rfind('\n');
    for (char c : text) m_line += c == '\n';
    m_column = lastBreak == std::string_view::npos ? m_column + static_cast<int32_t>(vb::utf8::length(text))
                                                   : 1 + static_cast<int32_t>(vb::utf8::length(text.substr(lastBreak + 1)));
}

void TextStream::close() {
    if (m_closed) return;
    m_closed = true;
    if (m_replacement) {
        if (!m_broken) m_replacement->commit();
        m_replacement.reset();
    }
    m_file.close();
}

const TypeInfo& TextStream::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("TextStream");
        using S = TextStream;
        t.getter<S>("Line", 10000, [](S& s) { return Variant(s.line()); });
        t.getter<S>("Column", 10001, [](S& s) { return Variant(s.column()); });
        t.getter<S>("AtEndOfStream", 10002, [](S& s) { return Variant(s.atEndOfStream()); });
        t.getter<S>("AtEndOfLine", 10003, [](S& s) { return Variant(s.atEndOfLine()); });
        t.method<S>("Read", 10004, {"Characters"}, 1, [](S& s, Args& a) { return Variant(s.read(a[0].toI4())); });
        t.method<S>("ReadLine", 10005, {}, 0, [](S& s, Args&) { return Variant(s.readLine()); });
        t.method<S>("ReadAll", 10006, {}, 0, [](S& s, Args&) { return Variant(s.readAll()); });
        t.method<S>("Write", 10007, {"Text"}, 1, [](S& s, Args& a) {
            s.write(a[0].toString());
            return Variant();
        });
        t.method<S>("WriteLine", 10008, {"Text"}, 0, [](S& s, Args& a) {
            s.write(a.valueOr(0, "").toString() + std::string(kLineBreak));
            return Variant();
        });
        t.method<S>("WriteBlankLines", 10009, {"Lines"}, 1, [](S& s, Args& a) {
            int32_t lines = a[0].toI4();
            if (lines < 0) raise(RuntimeError::InvalidProcedureCall);
            // In bounded pieces, so a large count never needs one large block of memory.
            constexpr int32_t kPerWrite = 4096;
            std::string breaks;
            for (int32_t i = 0; i < std::min(lines, kPerWrite); ++i) breaks += kLineBreak;
            for (int32_t left = lines; left > 0; left -= kPerWrite)
                s.write(std::string_view(breaks).substr(0, static_cast<size_t>(std::min(left, kPerWrite)) * kLineBreak.size()));
            return Variant();
        });
        t.method<S>("Skip", 10010, {"Characters"}, 1, [](S& s, Args& a) {
            s.skip(a[0].toI4());
            return Variant();
        });
        t.method<S>("SkipLine", 10011, {}, 0, [](S& s, Args&) {
            s.skipLine();
            return Variant();
        });
        t.method<S>("Close", 10012, {}, 0, [](S& s, Args&) {
            s.close();
            return Variant();
        });
        return t;
    }();
    return info;
}

}  // namespace lumora::files
