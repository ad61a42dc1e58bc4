#pragma once
// The browsers' native-messaging transport: a browser extension starts the host and speaks to
// it over stdin and stdout, each message a 32-bit length in the machine's byte order followed
// by that many bytes of UTF-8 JSON. The messages are the same JSON-RPC the WebSocket carries;
// one channel is one page.

#include "page.hpp"

namespace lumora::bridge {

// Browsers refuse a message from the host larger than this.
inline constexpr size_t kNativeMessageMaxToBrowser = 1u << 20;

// Serves one page on the two descriptors until the input ends (the browser closed the port),
// then lets the page's worker wind down. Returns 0, or 1 when the output failed.
int serveNativeMessaging(int input, int output, PageSettings settings);

}  // namespace lumora::bridge
