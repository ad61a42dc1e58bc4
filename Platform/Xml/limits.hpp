#pragma once
// The bounds every XML and HTTP operation stays within. Documents and responses come from
// pages and servers we do not control, so each parser and fetch refuses input beyond these
// limits instead of trying to swallow it.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace lumora::xml {

// Largest XML text a document loads (loadXML, load, responseXML, stylesheets).
inline constexpr size_t kMaxDocumentBytes = size_t{64} << 20;
// Deepest element nesting a document may have, parsed or built through the DOM.
inline constexpr int kMaxDepth = 256;
// Internal entities may expand a document to this many times its own size (plus a small
// allowance for short documents); beyond that the load fails as an expansion attack.
inline constexpr size_t kEntityExpansionFactor = 4;
inline constexpr size_t kEntityExpansionAllowance = size_t{1} << 20;
// XPath and XSLT evaluation steps before an expression is given up as too costly.
inline constexpr unsigned long kXPathOperationLimit = 50'000'000;
inline constexpr unsigned long kXsltOperationLimit = 200'000'000;
// Memory a transformation may hold while it runs (its result tree included), and the processor
// time it may take, before it is stopped.
inline constexpr size_t kMaxTransformBytes = size_t{256} << 20;
inline constexpr std::chrono::seconds kMaxTransformCpuTime{5};

// Largest HTTP response body kept in memory.
inline constexpr size_t kMaxResponseBytes = size_t{64} << 20;
inline constexpr int kMaxRedirects = 10;
inline constexpr std::chrono::seconds kDefaultConnectTimeout{30};
inline constexpr std::chrono::seconds kDefaultTotalTimeout{300};

}  // namespace lumora::xml
