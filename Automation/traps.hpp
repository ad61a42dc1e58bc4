#pragma once
// The three ways a member guards its work, as script writes them:
//   trapped(...)    — a trap for the whole member: a failure ends the member in its handler;
//   tryLocal(...)   — a local trap around one risky call;
//   ResumeNext      — statements with errors ignored, remembering the last error number.
// A foreign C++ exception becomes an Error here, so nothing else crosses a member boundary.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "error.hpp"

namespace lumora {

// The step a member is at, quoted by its failure message ("getting Outlook Application").
class StepText {
public:
    StepText() = default;
    explicit StepText(std::string_view text) : m_text(text) {}
    StepText& operator=(std::string_view text) {
        m_text = text;
        return *this;
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// "An error occured whilst " + step + ": " + the error's description: how a trapped member
// tells which step failed.
std::string stepFailureText(std::string_view step, const Error& error);
inline std::string stepFailureText(const StepText& step, const Error& error) { return stepFailureText(step.text(), error); }

// Runs body; if it fails, returns onError(error) instead. onError itself may fail only
// through errors the caller wants to escape (trap-less members let theirs through).
template <class Body, class Handler>
auto trapped(Body&& body, Handler&& onError) -> decltype(body()) {
    try {
        return asError(std::forward<Body>(body));
    } catch (const Error& e) {
        return onError(e);
    }
}

template <class Body>
std::optional<Error> tryLocal(Body&& body) {
    try {
        asError(std::forward<Body>(body));
        return std::nullopt;
    } catch (const Error& e) {
        return e;
    }
}

// "On Error Resume Next": each statement run through it that fails is skipped, and the
// error is kept as the pending one until cleared, like script's Err object.
class ResumeNext {
public:
    template <class Statement>
    void operator()(Statement&& statement) {
        if (auto error = tryLocal(std::forward<Statement>(statement))) m_pending = std::move(error);
    }
    // Runs an expression; on failure records the error and yields fallback.
    template <class Expression, class T>
    T value(Expression&& expression, T fallback) {
        std::optional<T> out;
        (*this)([&] { out = expression(); });
        return out ? std::move(*out) : std::move(fallback);
    }
    int32_t number() const { return m_pending ? m_pending->number() : 0; }
    bool failed() const { return m_pending.has_value(); }
    const std::optional<Error>& pending() const { return m_pending; }
    void clear() { m_pending.reset(); }

private:
    std::optional<Error> m_pending;
};

}  // namespace lumora
