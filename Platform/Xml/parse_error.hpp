#pragma once
// parseError: why the last load of a document failed (errorCode 0 when it did not).

#include <optional>

#include "Automation/object.hpp"
#include "parser.hpp"

namespace lumora::xml {

class ParseErrorObject final : public Dispatch {
public:
    explicit ParseErrorObject(std::optional<ParseFailure> failure) : m_failure(std::move(failure)) {}
    const TypeInfo& typeInfo() const override;
    const ParseFailure& failure() const;

private:
    std::optional<ParseFailure> m_failure;
};

}  // namespace lumora::xml
