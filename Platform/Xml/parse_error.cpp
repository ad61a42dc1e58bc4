#include "parse_error.hpp"

namespace lumora::xml {

namespace {

// The interface declares no puts: assigning to a field is "not supported" (438).
const PropertyTable kParseErrorProperties{
    {"errorCode", kDispIdValue, ParamType::I4, int32_t{0}, Access::GetOnly},
    {"url", 1, ParamType::String, "", Access::GetOnly},
    {"reason", 2, ParamType::String, "", Access::GetOnly},
    {"srcText", 3, ParamType::String, "", Access::GetOnly},
    {"line", 4, ParamType::I4, int32_t{0}, Access::GetOnly},
    {"linepos", 5, ParamType::I4, int32_t{0}, Access::GetOnly},
    {"filepos", 6, ParamType::I4, int32_t{0}, Access::GetOnly},
};

}  // namespace

ParseErrorObject::ParseErrorObject(const std::optional<ParseFailure>& failure) {
    if (!failure) return;  // every field keeps its default: no failure
    const auto& fields = kParseErrorProperties.properties();
    const Variant values[] = {failure->errorCode, failure->url,  failure->reason, failure->srcText,
                              failure->line,      failure->linepos, failure->filepos};
    for (size_t i = 0; i < fields.size(); ++i) m_fields.store(fields[i], values[i]);
}

const TypeInfo& ParseErrorObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("DOMParseError");
        kParseErrorProperties.addTo<ParseErrorObject>(t);
        return t;
    }();
    return info;
}

}  // namespace lumora::xml
