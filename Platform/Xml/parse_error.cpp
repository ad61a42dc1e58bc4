#include "parse_error.hpp"

namespace lumora::xml {

const ParseFailure& ParseErrorObject::failure() const {
    static const ParseFailure kNone;
    return m_failure ? *m_failure : kNone;
}

const TypeInfo& ParseErrorObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("DOMParseError");
        t.getter<ParseErrorObject>("errorCode", kDispIdValue, [](ParseErrorObject& s) { return Variant(s.failure().errorCode); });
        t.getter<ParseErrorObject>("url", 1, [](ParseErrorObject& s) { return Variant(s.failure().url); });
        t.getter<ParseErrorObject>("reason", 2, [](ParseErrorObject& s) { return Variant(s.failure().reason); });
        t.getter<ParseErrorObject>("srcText", 3, [](ParseErrorObject& s) { return Variant(s.failure().srcText); });
        t.getter<ParseErrorObject>("line", 4, [](ParseErrorObject& s) { return Variant(s.failure().line); });
        t.getter<ParseErrorObject>("linepos", 5, [](ParseErrorObject& s) { return Variant(s.failure().linepos); });
        t.getter<ParseErrorObject>("filepos", 6, [](ParseErrorObject& s) { return Variant(s.failure().filepos); });
        return t;
    }();
    return info;
}

}  // namespace lumora::xml
