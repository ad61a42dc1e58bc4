// Find and Replacement: finding on the visible text of a range or the selection, and
// replacing the first or every occurrence.

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "Automation/vb/utf8.hpp"
#include "text_budget.hpp"
#include "word_errors.hpp"
#include "text_span.hpp"

namespace lumora::word {

namespace {

// The pieces a text with special characters stands for, each handed to `take` in order:
// ^p a paragraph mark, ^t a tab, ^l a line break, ^^ a caret, and in a replacement ^& what was
// found; any other character as it is.
template <class Take>
void forEachPiece(std::u32string_view text, std::u32string_view found, Take&& take) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'^' || i + 1 == text.size()) {
            take(text.substr(i, 1));
            continue;
        }
        switch (text[++i]) {
            case U'p': take(U"\r"); break;
            case U't': take(U"\t"); break;
            case U'l': take(U"\v"); break;
            case U'^': take(U"^"); break;
            case U'&': take(found); break;
            default: take(text.substr(i - 1, 2));
        }
    }
}

std::u32string expandSpecials(std::u32string_view text, std::u32string_view found) {
    std::u32string out;
    forEachPiece(text, found, [&out](std::u32string_view piece) { out += piece; });
    return out;
}

struct Search {
    Story& story;
    std::u32string needle;
    FindOptions options;
    int32_t wrap;

    // The first occurrence in [start, end), then, when wrapping, in the rest of the story.
    std::optional<Span> from(int32_t start, int32_t end) const {
        if (auto found = story.find(needle, start, end, options)) return found;
        if (wrap != kWrapContinue) return std::nullopt;
        if (options.forward) {
            if (auto found = story.find(needle, end, story.length(), options)) return found;
            return story.find(needle, 0, start, options);
        }
        if (auto found = story.find(needle, 0, start, options)) return found;
        return story.find(needle, end, story.length(), options);
    }
};

// Replaces one occurrence; returns the end of the text put in. A replacement that would not fit
// the document is refused before it is built: "^&" repeated over a long find stands for far
// more text than the replacement holds.
int32_t replaceFound(Story& story, const Span& found, std::u32string_view replacement) {
    const std::u32string foundText = story.characters(found.start, found.end);
    int64_t size = 0;
    forEachPiece(replacement, foundText, [&size](std::u32string_view piece) { size += static_cast<int64_t>(piece.size()); });
    if (size - static_cast<int64_t>(foundText.size()) > story.room()) refuseGrowth();
    return story.replace(found.start, found.end, expandSpecials(replacement, foundText));
}

void applyArguments(FindSettings& s, Args& args) {
    if (args.has(0)) s.text = args[0].toString();
    if (args.has(1)) s.matchCase = args[1].toBool();
    if (args.has(2)) s.matchWholeWord = args[2].toBool();
    if (args.has(3)) s.matchWildcards = args[3].toBool();
    if (args.has(4)) s.matchSoundsLike = args[4].toBool();
    if (args.has(5)) s.matchAllWordForms = args[5].toBool();
    if (args.has(6)) s.forward = args[6].toBool();
    if (args.has(7)) s.wrap = args[7].toI4();
    if (args.has(8)) s.format = args[8].toBool();
    if (args.has(9)) s.replacement = plainValue(args[9]).toString();
}

}  // namespace

bool FindObject::execute(Args& args) {
    FindSettings& s = settings();
    applyArguments(s, args);
    const int32_t replace = args.has(10) ? args[10].toI4() : 0;
    if (s.matchWildcards) raise(WordError::UnsupportedFind, "wildcards");
    if (s.matchSoundsLike || s.matchAllWordForms) raise(WordError::UnsupportedFind, "sounds-like and word forms");

    Location& place = m_target->location();
    Story& story = *place.story;
    Span& span = *place.span;
    const Search search{story, expandSpecials(vb::utf8::decode(s.text), U""),
                        FindOptions{s.matchCase, s.matchWholeWord, s.forward}, s.wrap};
    const std::u32string replacement = vb::utf8::decode(s.replacement);
    s.found = false;
    if (search.needle.empty()) return false;
    // A collapsed range searches on from where it stands; a range with text searches in it.
    const int32_t scopeEnd = span.start == span.end ? (s.forward ? story.length() : span.start) : span.end;
    const int32_t scopeStart = span.start == span.end && !s.forward ? 0 : span.start;

    if (replace == kReplaceAll) {
        // Every occurrence of the range, or of the whole story when the search wraps; each
        // search goes on after the text just put in, so a replacement holding the text it
        // replaces is not found again.
        const bool wholeStory = s.wrap == kWrapContinue || span.start == span.end;
        auto scope = story.track(wholeStory ? 0 : scopeStart, wholeStory ? story.length() : scopeEnd);
        int32_t position = scope->start;
        // Replacing every occurrence gives the same text in either direction.
        const FindOptions onward{s.matchCase, s.matchWholeWord, true};
        while (auto found = story.find(search.needle, position, scope->end, onward)) {
            checkCancelled();
            s.found = true;
            const int32_t lengthBefore = story.length();
            try {
                position = replaceFound(story, *found, replacement);
            } catch (const Error& e) {
                // An occurrence that takes a cell's end mark cannot be replaced; the others can.
                if (e.number() != static_cast<int32_t>(RuntimeError::WordRangeCannotBeEdited)) throw;
                position = found->end;
                continue;
            }
            // Nothing was taken out (the story's last paragraph mark stays): search on past it.
            if (position == found->start && story.length() == lengthBefore) position = found->end;
        }
        return s.found;
    }

    const std::optional<Span> found = search.from(scopeStart, scopeEnd);
    if (!found) return false;
    s.found = true;
    span.start = found->start;
    span.end = found->end;
    if (replace == kReplaceOne) {
        span.end = replaceFound(story, *found, replacement);
        span.start = found->start;
    }
    return true;
}

const TypeInfo& FindObject::typeInfo() const {
    using F = FindObject;
    static const TypeInfo info = [] {
        TypeInfo t("Find");
        const auto flag = [&t](const char* name, DispId id, bool FindSettings::*member) {
            t.getter<F>(name, id, [member](F& f) { return Variant(f.settings().*member); });
            t.setter<F>(name, id, [member](F& f, const Variant& v) { f.settings().*member = v.toBool(); });
        };
        flag("MatchCase", 0x1f, &FindSettings::matchCase);
        flag("MatchWholeWord", 0x20, &FindSettings::matchWholeWord);
        flag("MatchWildcards", 0x21, &FindSettings::matchWildcards);
        flag("MatchSoundsLike", 0x22, &FindSettings::matchSoundsLike);
        flag("MatchAllWordForms", 0x23, &FindSettings::matchAllWordForms);
        flag("Forward", 0x1c, &FindSettings::forward);
        flag("Format", 0x1d, &FindSettings::format);
        t.getter<F>("Found", 0x1a, [](F& f) { return Variant(f.settings().found); });
        t.getter<F>("Text", 0x16, [](F& f) { return Variant(f.settings().text); });
        t.setter<F>("Text", 0x16, [](F& f, const Variant& v) { f.settings().text = v.toString(); });
        t.getter<F>("Wrap", 0x1e, [](F& f) { return Variant(f.settings().wrap); });
        t.setter<F>("Wrap", 0x1e, [](F& f, const Variant& v) { f.settings().wrap = v.toI4(); });
        // Formatting is neither searched for nor applied: the replacement takes the found text's.
        t.method<F>("ClearFormatting", 0x1f5, {}, 0, [](F& f, Args&) {
            f.settings().format = false;
            return Variant();
        });
        t.getter<F>("Replacement", 0x19, [](F& f) { return Variant(makeObject<ReplacementObject>(f.target())); });
        t.method<F>("Execute", 0x1bc,
                    {"FindText", "MatchCase", "MatchWholeWord", "MatchWildcards", "MatchSoundsLike", "MatchAllWordForms",
                     "Forward", "Wrap", "Format", "ReplaceWith", "Replace", "MatchKashida", "MatchDiacritics",
                     "MatchAlefHamza", "MatchControl"},
                    0, [](F& f, Args& args) { return Variant(f.execute(args)); });
        return t;
    }();
    return info;
}

const TypeInfo& ReplacementObject::typeInfo() const {
    using R = ReplacementObject;
    static const TypeInfo info = [] {
        TypeInfo t("Replacement");
        t.getter<R>("Text", 0x16, [](R& r) { return Variant(r.settings().replacement); });
        t.setter<R>("Text", 0x16, [](R& r, const Variant& v) { r.settings().replacement = v.toString(); });
        t.method<R>("ClearFormatting", 0x14, {}, 0, [](R&, Args&) { return Variant(); });
        return t;
    }();
    return info;
}

}  // namespace lumora::word
