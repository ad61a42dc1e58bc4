// The case rules of the script string functions, through ICU: upper and lower case with the
// language-neutral (root) mappings, full case folding for comparisons, and root collation for
// the order of a text comparison.

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <memory>

#include "../error.hpp"
#include "case_folding.hpp"
#include "strings.hpp"
#include "text.hpp"
#include "utf8.hpp"

namespace lumora::vb {

namespace {

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

icu::UnicodeString toUnicode(std::string_view text) {
    const std::string clean = utf8::wellFormed(text);
    return icu::UnicodeString::fromUTF8(icu::StringPiece(clean.data(), static_cast<int32_t>(clean.size())));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

int32_t sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

// Root collation at secondary strength: accents count, case does not. Collators are not
// shared between threads, so each apartment has its own.
const icu::Collator* textCollator() {
    thread_local std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) return std::unique_ptr<icu::Collator>();
        made->setStrength(icu::Collator::SECONDARY);
        return made;
    }();
    return collator.get();
}

}  // namespace

void appendFolded(std::u32string& out, char32_t c) {
    if (c < 0x80) {
        out += (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
        return;
    }
    icu::UnicodeString one(static_cast<UChar32>(c));
    one.foldCase(U_FOLD_CASE_DEFAULT);
    for (int32_t i = 0; i < one.length(); i = one.moveIndex32(i, 1)) out += static_cast<char32_t>(one.char32At(i));
}

std::u32string folded(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t offset = 0; offset < text.size();) appendFolded(out, utf8::next(text, offset));
    return out;
}

std::string uCase(std::string_view text) {
    if (isAscii(text)) return asciiUpper(text);
    return toUtf8(toUnicode(text).toUpper(icu::Locale::getRoot()));
}

std::string lCase(std::string_view text) {
    if (isAscii(text)) return asciiLower(text);
    return toUtf8(toUnicode(text).toLower(icu::Locale::getRoot()));
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) return asciiEqualsNoCase(a, b);
    return folded(a) == folded(b);
}

int32_t strComp(std::string_view a, std::string_view b, CompareMethod compare) {
    if (compare == CompareMethod::Binary) return sign(utf8::decode(a).compare(utf8::decode(b)));
    const std::u32string foldedA = folded(a), foldedB = folded(b);
    if (foldedA == foldedB) return 0;
    // The collator orders the way people sort; where it sees no difference (characters it
    // ignores), the folded code points decide, so 0 always means equal ignoring case.
    if (const icu::Collator* collator = textCollator()) {
        UErrorCode status = U_ZERO_ERROR;
        const std::string cleanA = utf8::wellFormed(a), cleanB = utf8::wellFormed(b);
        const UCollationResult order = collator->compareUTF8(cleanA, cleanB, status);
        if (U_SUCCESS(status) && order != UCOL_EQUAL) return order == UCOL_LESS ? -1 : 1;
    }
    return sign(foldedA.compare(foldedB));
}

}  // namespace lumora::vb
