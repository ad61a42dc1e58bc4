// Ranges and the selection: where they lie, their text, moving and editing them.

#include <algorithm>

#include "Automation/error.hpp"
#include "Automation/vb/utf8.hpp"
#include "word_errors.hpp"
#include "field_objects.hpp"
#include "insert_file.hpp"
#include "script_constants.hpp"
#include "story_objects.hpp"
#include "table_objects.hpp"
#include "text_span.hpp"

namespace lumora::word {

namespace {

int32_t unitOf(const Variant& unit, int32_t fallback) { return unit.isAbsent() ? fallback : unit.toI4(); }

}  // namespace

Object makeRange(const InstanceRef& word, const DocumentRef& document, Story& story, int32_t start, int32_t end) {
    return makeObject<RangeObject>(word, Location{document, &story, story.track(start, end)});
}

Location& RangeObject::location() {
    m_location.document->document();  // error once the document is closed
    return m_location;
}

void TextSpan::setStart(int32_t start) {
    Location& place = location();
    place.span->start = std::clamp(start, 0, place.story->length());
    place.span->end = std::max(place.span->end, place.span->start);
}

void TextSpan::setEnd(int32_t end) {
    Location& place = location();
    place.span->end = std::clamp(end, 0, place.story->length());
    place.span->start = std::min(place.span->start, place.span->end);
}

std::string TextSpan::text() {
    Location& place = location();
    return place.story->textOf(place.span->start, place.span->end);
}

void TextSpan::replaceWith(const std::string& text) {
    Location& place = location();
    const int32_t start = place.span->start;
    const int32_t end = place.story->replace(start, place.span->end, vb::utf8::decode(text));
    place.span->start = start;
    place.span->end = end;
}

void TextSpan::leaveCellEndMark() {
    Location& place = location();
    const int32_t end = place.span->end;
    if (end - place.span->start >= 2 && place.story->characterAt(end - 1) == U'\a') place.span->end = end - 2;
}

void TextSpan::setText(const std::string& text) {
    // A whole cell's range keeps its end mark: the text replaces the cell's content.
    leaveCellEndMark();
    replaceWith(text);
}

void TextSpan::deleteText(const Variant& unit, const Variant& count) {
    if (unitOf(unit, kUnitCharacter) != kUnitCharacter) raise(WordError::BadArgument, "only characters can be deleted");
    Location& place = location();
    Span& span = *place.span;
    if (span.start == span.end) {
        const int32_t n = count.isAbsent() ? 1 : count.toI4();
        if (n == 0) return;
        if (n > 0)
            span.end = std::min(span.start + n, place.story->length());
        else
            span.start = std::max(span.end + n, 0);
    }
    // Deleting a whole cell's range clears the cell, as the word processor does: its end mark stays.
    leaveCellEndMark();
    replaceWith("");
}

// Moves one edge by characters, or to the story's start or end; returns how far it went.
int32_t TextSpan::moveEdge(bool startEdge, const Variant& unit, const Variant& count) {
    const int32_t n = count.isAbsent() ? 1 : count.toI4();
    const int32_t before = startEdge ? start() : end();
    const int32_t by = unitOf(unit, kUnitCharacter);
    if (by != kUnitCharacter && by != kUnitStory) raise(WordError::BadArgument, "only characters and the story are units of a move");
    const int32_t target = by == kUnitStory ? (n < 0 ? 0 : story().length()) : before + n;
    startEdge ? setStart(target) : setEnd(target);
    return (startEdge ? start() : end()) - before;
}

int32_t TextSpan::moveStart(const Variant& unit, const Variant& count) { return moveEdge(true, unit, count); }
int32_t TextSpan::moveEnd(const Variant& unit, const Variant& count) { return moveEdge(false, unit, count); }

int32_t TextSpan::moveDown(const Variant& unit, const Variant& count, const Variant& extend) {
    const int32_t by = unitOf(unit, kUnitLine);
    if (by != kUnitLine && by != kUnitParagraph) raise(WordError::BadArgument, "only lines and paragraphs are units of a move down");
    // Without a page to lay out, a line is a paragraph.
    Location& place = location();
    int32_t position = place.span->end;
    const int32_t n = count.isAbsent() ? 1 : count.toI4();
    int32_t moved = 0;
    for (; moved < n && position < place.story->length(); ++moved) position = place.story->paragraphEndAfter(position);
    if (!extend.isAbsent() && extend.toI4() == kExtend)
        place.span->end = position;
    else
        place.span->start = place.span->end = position;
    return moved;
}

Variant TextSpan::information(int32_t type) {
    if (type != kWithInTable) raise(WordError::BadArgument, "information item " + std::to_string(type));
    return Variant(story().cellAt(start()) != nullptr);
}

void TextSpan::insertAfter(const std::string& text) {
    Location& place = location();
    const int32_t start = place.span->start;
    // A whole cell's range takes the text at the cell's end, before its end mark, not in the next cell.
    const bool wholeCell = place.span->end - start >= 2 && place.story->characterAt(place.span->end - 1) == U'\a';
    const int32_t at = wholeCell ? place.span->end - 2 : place.span->end;
    const int32_t end = place.story->replace(at, at, vb::utf8::decode(text));
    place.span->start = start;
    place.span->end = wholeCell ? end + 2 : end;
}

void TextSpan::insertBefore(const std::string& text) {
    Location& place = location();
    const int32_t length = place.span->end - place.span->start;
    const int32_t start = place.span->start;
    const int32_t insertedEnd = place.story->replace(start, start, vb::utf8::decode(text));
    place.span->start = start;
    place.span->end = insertedEnd + length;
}

void TextSpan::select() {
    Location& place = location();
    instance()->select(place.document, *place.story, place.span->start, place.span->end);
}

Object TextSpan::range() {
    Location& place = location();
    return makeRange(instance(), place.document, *place.story, place.span->start, place.span->end);
}

Object TextSpan::find() { return makeObject<FindObject>(std::static_pointer_cast<TextSpan>(shared_from_this())); }

Object TextSpan::shapeRange() {
    Location& place = location();
    return makeObject<ShapeList>(instance(), place.document, docx().textFrames(*place.story));
}

Object TextSpan::nextStoryRange() {
    Location& place = location();
    Story* next = docx().nextOfType(*place.story);
    if (!next) return Object();
    return makeRange(instance(), place.document, *next, 0, next->length());
}

Object TextSpan::tables() {
    Location& place = location();
    std::vector<XmlNode*> within;
    for (XmlNode* table : docx().tables())
        if (place.story == &docx().main())
            if (auto span = place.story->spanOf(table); span && span->end > place.span->start && span->start < place.span->end)
                within.push_back(table);
    return makeObject<TableList>(instance(), place.document, std::move(within));
}

template <class T>
void TextSpan::addSpanMembers(TypeInfo& t) {
    t.getter<T>("Start", 0x3, [](T& r) { return Variant(r.start()); });
    t.setter<T>("Start", 0x3, [](T& r, const Variant& v) { r.setStart(v.toI4()); });
    t.getter<T>("End", 0x4, [](T& r) { return Variant(r.end()); });
    t.setter<T>("End", 0x4, [](T& r, const Variant& v) { r.setEnd(v.toI4()); });
    t.getter<T>("Text", 0x0, [](T& r) { return Variant(r.text()); });
    t.setter<T>("Text", 0x0, [](T& r, const Variant& v) { r.setText(v.toString()); });
    t.getter<T>("Find", 0x106, [](T& r) { return Variant(r.find()); });
    t.getter<T>("StoryType", 0x7, [](T& r) { return Variant(r.story().type()); });
    t.getter<T>("StoryLength", 0x98, [](T& r) { return Variant(r.story().length()); });
    t.getter<T>("ShapeRange", 0x19f, [](T& r) { return Variant(r.shapeRange()); });
    t.getter<T>("NextStoryRange", 0x14f, [](T& r) { return Variant(r.nextStoryRange()); });
    t.getter<T>("Tables", 0x32, [](T& r) { return Variant(r.tables()); });
    t.getter<T>("Fields", 0x40, [](T& r) { return Variant(r.fields()); });
    t.indexedGetter<T>("Information", 0x139, {"Type"}, 1, [](T& r, Args& args) { return r.information(args[0].toI4()); });
    t.method<T>("Select", 0xffff, {}, 0, [](T& r, Args&) {
        r.select();
        return Variant();
    });
    t.method<T>("Delete", 0x80, {"Unit", "Count"}, 0, [](T& r, Args& args) {
        r.deleteText(args[0], args[1]);
        return Variant(int32_t{1});
    });
    t.method<T>("MoveStart", 0x6d, {"Unit", "Count"}, 0,
                [](T& r, Args& args) { return Variant(r.moveStart(args[0], args[1])); });
    t.method<T>("MoveEnd", 0x6e, {"Unit", "Count"}, 0, [](T& r, Args& args) { return Variant(r.moveEnd(args[0], args[1])); });
    t.method<T>("MoveDown", 0x1f7, {"Unit", "Count", "Extend"}, 0,
                [](T& r, Args& args) { return Variant(r.moveDown(args[0], args[1], args[2])); });
    t.method<T>("InsertAfter", 0x68, {"Text"}, 1, [](T& r, Args& args) {
        r.insertAfter(args[0].toString());
        return Variant();
    });
    t.method<T>("InsertBefore", 0x66, {"Text"}, 1, [](T& r, Args& args) {
        r.insertBefore(args[0].toString());
        return Variant();
    });
    t.method<T>("Collapse", 0x65, {"Direction"}, 0, [](T& r, Args& args) {
        // 1 collapses to the start (the default), 0 to the end.
        if (args.has(0) && args[0].toI4() == 0)
            r.setStart(r.end());
        else
            r.setEnd(r.start());
        return Variant();
    });
}

const TypeInfo& RangeObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Range");
        addSpanMembers<RangeObject>(t);
        t.getter<RangeObject>("Duplicate", 0x13, [](RangeObject& r) { return Variant(r.range()); });
        return t;
    }();
    return info;
}

void SelectionObject::typeText(const std::string& text) {
    // Typing replaces what is selected; the selection then stands after what was typed.
    replaceWith(text);
    setStart(end());
}

const TypeInfo& SelectionObject::typeInfo() const {
    using S = SelectionObject;
    static const TypeInfo info = [] {
        TypeInfo t("Selection");
        addSpanMembers<S>(t);
        t.getter<S>("Range", 0x190, [](S& s) { return Variant(s.range()); });
        t.method<S>("TypeText", 0x1f8, {"Text"}, 1, [](S& s, Args& args) {
            s.typeText(args[0].toString());
            return Variant();
        });
        t.method<S>("InsertFile", 0x7b, {"FileName", "Range", "ConfirmConversions", "Link", "Attachment"}, 1,
                    [](S& s, Args& args) {
                        insertFile(s, args[0].toString(), args[1]);
                        return Variant();
                    });
        return t;
    }();
    return info;
}

}  // namespace lumora::word
