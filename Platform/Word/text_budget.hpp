#pragma once
// The limit on a document's text. Replacing tags multiplies text: a value holding other tags,
// each of them replaced in turn by a large value, grows a letter by the product of their sizes.
// Every edit that adds characters asks the document's budget first, so a document that would
// pass the limit is refused before the memory is taken, not when it has run out.

#include <cstdint>

namespace lumora::word {

// The most characters the stories of one document hold together: 32 Mi, some 256 MB in the
// engine, which keeps each character twice (as written and case-folded, four bytes each)
// besides the markup that holds it.
inline constexpr int64_t kDocumentTextLimit = int64_t{32} << 20;

// The limit in force: kDocumentTextLimit unless a test has set another.
int64_t documentTextLimit();

// Error DocumentTooLarge (number 7, out of memory), naming the limit.
[[noreturn]] void refuseGrowth();

// Sets the limit while it lives, for tests that reach it without filling hundreds of
// megabytes; the limit before comes back after it.
class ScopedDocumentTextLimit {
public:
    explicit ScopedDocumentTextLimit(int64_t characters);
    ~ScopedDocumentTextLimit();
    ScopedDocumentTextLimit(const ScopedDocumentTextLimit&) = delete;
    ScopedDocumentTextLimit& operator=(const ScopedDocumentTextLimit&) = delete;

private:
    int64_t m_previous;
};

// The characters of one document's stories, counted against the limit.
class TextBudget {
public:
    // Counts characters that are in memory already (a story read) or taken out: never refused.
    void count(int64_t characters) { m_characters += characters; }
    // Counts characters an edit is about to add; refuseGrowth, with nothing counted, when they
    // would take the document past the limit.
    void take(int64_t characters);
    // How many more characters the document may take.
    int64_t room() const;

private:
    int64_t m_characters = 0;
};

}  // namespace lumora::word
