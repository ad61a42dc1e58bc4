#pragma once
// One-time setup of the XML libraries and capture of their diagnostics. The libraries report
// problems through callbacks; a MessageCapture on the stack collects what the current thread's
// call produced, so a failure can quote it, and nothing is ever printed to the terminal.

#include <string>
#include <vector>

namespace lumora::xml {

// Prepares the parser, the transformation engine and the process-wide policy that no external
// resource is ever loaded by an XML parser in this process. Safe to call repeatedly.
void ensureXmlLibraries();

struct CapturedMessage {
    std::string text;
    int code = 0;
    int level = 0;  // libxml2's level: 1 warning, 2 error, 3 fatal
    int line = 0;
    int column = 0;
};

// A printf-style message callback for the libraries' channels: the text goes to the capture
// active on the calling thread (the data pointer is not used).
void forwardLibraryMessage(void* unused, const char* format, ...);

class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<CapturedMessage>& messages() const { return m_messages; }
    // The first message, or fallback when nothing was reported.
    std::string firstText(const std::string& fallback = {}) const;
    // All messages joined, each trimmed, separated by "; " (at most a few, to keep it readable).
    std::string summary() const;

    // Called by the library callbacks.
    void add(CapturedMessage message);
    void appendToLast(const std::string& fragment);

private:
    std::vector<CapturedMessage> m_messages;
    MessageCapture* m_previous;
    bool m_lastComplete = true;
};

}  // namespace lumora::xml
