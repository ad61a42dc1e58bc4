// The story's characters with a gap at the last edit: after edits that leave the gap anywhere
// (start, middle, end, grown past its spare room), reading and finding forward and backward in
// every range, case folded or not, give what the same search on the plain text gives.

#include <gtest/gtest.h>

#include <string>

#include "Platform/Word/story.hpp"
#include "Platform/Word/story_text.hpp"

namespace lumora::word {
namespace {

StoryText textOf(std::u32string_view characters) {
    StoryText text;
    text.append(characters);
    return text;
}

// Every start of needle within [start, end) of plain, in order.
std::vector<size_t> startsIn(const std::u32string& plain, const std::u32string& needle, size_t start, size_t end) {
    std::vector<size_t> out;
    for (size_t at = start; at + needle.size() <= end; ++at)
        if (plain.compare(at, needle.size(), needle) == 0) out.push_back(at);
    return out;
}

void expectFindsAsPlainText(const StoryText& text, const std::u32string& plain, const std::u32string& needle, bool folded) {
    ASSERT_EQ(text.size(), plain.size());
    for (size_t start = 0; start <= plain.size(); ++start)
        for (size_t end = start; end <= plain.size(); ++end) {
            const std::vector<size_t> expected = startsIn(plain, needle, start, end);
            std::vector<size_t> forward;
            for (size_t at = text.findForward(needle, folded, start, end, start); at != StoryText::npos;
                 at = text.findForward(needle, folded, start, end, at + 1))
                forward.push_back(at);
            EXPECT_EQ(forward, expected) << "forward in [" << start << ", " << end << ")";
            std::vector<size_t> backward;
            for (size_t at = text.findBackward(needle, folded, start, end, StoryText::npos); at != StoryText::npos;
                 at = at == 0 ? StoryText::npos : text.findBackward(needle, folded, start, end, at - 1))
                backward.insert(backward.begin(), at);
            EXPECT_EQ(backward, expected) << "backward in [" << start << ", " << end << ")";
        }
}

TEST(StoryText, FindsAcrossTheGapWhereverTheLastEditLeftIt) {
    StoryText text = textOf(U"<a> x <A> y <a>\r");
    std::u32string plain = U"<a> x <A> y <a>\r";
    // Each edit leaves the gap after its text; the last one outgrows the spare room.
    const struct {
        size_t start, count;
        std::u32string with;
    } edits[] = {{4, 1, U"<a"}, {0, 0, U">"}, {10, 3, U""}, {plain.size() - 1, 0, U"<a>"},
                 {6, 2, std::u32string(600, U'a')}};
    for (const auto& edit : edits) {
        text.replace(edit.start, edit.count, textOf(edit.with));
        plain.replace(edit.start, edit.count, edit.with);
        std::u32string folded = plain;
        for (char32_t& c : folded) c = foldCase(c);
        EXPECT_EQ(text.characters(0, text.size()), plain);
        if (plain.size() < 100) {
            expectFindsAsPlainText(text, plain, U"<a>", false);
            expectFindsAsPlainText(text, folded, U"<a>", true);
            expectFindsAsPlainText(text, plain, U"a", false);
        } else {
            for (const std::u32string needle : {U"<aaa", U"a<A", U"a>\r<"}) {
                const std::vector<size_t> expected = startsIn(plain, needle, 0, plain.size());
                ASSERT_FALSE(expected.empty());
                EXPECT_EQ(text.findForward(needle, false, 0, text.size(), 0), expected.front());
                EXPECT_EQ(text.findBackward(needle, false, 0, text.size(), StoryText::npos), expected.back());
            }
        }
    }
}

// A find from the start goes on from where the last one passed without finding its needle,
// which each edit shortens: replacing every occurrence in turn, each found again from the start
// (as the letters do), finds what a search of the plain text finds, an occurrence an edit makes
// from the characters before it included.
TEST(StoryText, FindingFromTheStartAfterEachEditSeesWhatTheEditsMade) {
    std::u32string plain = U"zz<QQ <a> <A> y<a>\r";
    StoryText text = textOf(plain);
    const auto expectFirst = [&](bool folded) {
        std::u32string searched = plain;
        if (folded)
            for (char32_t& c : searched) c = foldCase(c);
        const std::vector<size_t> starts = startsIn(searched, U"<a>", 0, searched.size());
        const size_t found = text.findForward(U"<a>", folded, 0, text.size(), 0);
        EXPECT_EQ(found, starts.empty() ? StoryText::npos : starts.front()) << (folded ? "folded" : "plain");
        return found;
    };
    const auto edit = [&](size_t start, size_t count, const std::u32string& with) {
        text.replace(start, count, textOf(with));
        plain.replace(start, count, with);
    };
    ASSERT_EQ(expectFirst(false), 6u);
    edit(3, 2, U"a>");  // "zz<a> ...": an occurrence starting before the edit
    ASSERT_EQ(expectFirst(false), 2u);
    for (size_t found = expectFirst(true); found != StoryText::npos; found = expectFirst(true))
        edit(found, 3, U"<value> ");
    EXPECT_EQ(expectFirst(false), StoryText::npos);
    edit(text.size() - 1, 0, U"<a>");  // at the end, after every passed stretch
    EXPECT_EQ(expectFirst(false), text.size() - 4);
}

TEST(StoryText, FoldedTwinFollowsEveryEdit) {
    StoryText text = textOf(U"Straße\r");
    text.replace(0, 1, textOf(U"ÄB"));
    EXPECT_EQ(text.characters(0, text.size()), U"ÄBtraße\r");
    EXPECT_EQ(text.findForward(U"äbtr", true, 0, text.size(), 0), 0u);
    EXPECT_EQ(text.findForward(U"äbtr", false, 0, text.size(), 0), StoryText::npos);
    EXPECT_EQ(text.foldedAt(1), U'b');
    EXPECT_EQ(text.at(1), U'B');
}

}  // namespace
}  // namespace lumora::word
