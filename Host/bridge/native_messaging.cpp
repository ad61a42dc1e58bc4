#include "native_messaging.hpp"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace lumora::bridge {
namespace {

bool readFully(int fd, void* data, size_t size) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        ssize_t got = ::read(fd, bytes, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool writeFully(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t put = ::write(fd, bytes, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

class NativeOutbox : public PageOutbox {
public:
    explicit NativeOutbox(int fd) : m_fd(fd) {}

    void send(std::string message) override {
        if (message.size() > kNativeMessageMaxToBrowser) return;  // the browser would drop the channel
        uint32_t length = static_cast<uint32_t>(message.size());
        std::lock_guard lock(m_mutex);
        if (m_failed) return;
        if (!writeFully(m_fd, &length, sizeof length) || !writeFully(m_fd, message.data(), message.size()))
            m_failed = true;
    }
    size_t maxMessageBytes() const override { return kNativeMessageMaxToBrowser; }
    bool failed() const {
        std::lock_guard lock(m_mutex);
        return m_failed;
    }

private:
    int m_fd;
    mutable std::mutex m_mutex;
    bool m_failed = false;
};

}  // namespace

int serveNativeMessaging(int input, int output, PageSettings settings) {
    auto outbox = std::make_shared<NativeOutbox>(output);
    ShownFiles files;
    settings.linkBase.clear();  // no web server on this channel: shown files carry no link
    const MessageLimits limits = settings.limits;
    Page page(1, outbox, std::move(settings), files);

    std::string message;
    while (true) {
        uint32_t length = 0;
        if (!readFully(input, &length, sizeof length)) break;
        if (length > limits.maxBytes) {
            // The message is read and dropped so the stream stays in step; only its start is
            // kept, to answer the right request.
            std::string prefix(std::min<size_t>(length, 4096), '\0');
            if (!readFully(input, prefix.data(), prefix.size())) break;
            char sink[64 * 1024];
            size_t left = length - prefix.size();
            bool complete = true;
            while (left > 0 && complete) {
                size_t chunk = std::min(left, sizeof sink);
                complete = readFully(input, sink, chunk);
                left -= chunk;
            }
            if (!complete) break;
            page.receiveOversized(prefix, length);
            continue;
        }
        message.resize(length);
        if (!readFully(input, message.data(), length)) break;
        page.receive(message);
    }
    page.close();
    while (!page.waitFinished(std::chrono::seconds(1))) {
    }
    return outbox->failed() ? 1 : 0;
}

}  // namespace lumora::bridge
