#include "text_budget.hpp"

#include <algorithm>
#include <atomic>
#include <string>

#include "Automation/error.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace {

std::atomic<int64_t> g_limit{kDocumentTextLimit};

}  // namespace

int64_t documentTextLimit() { return g_limit.load(std::memory_order_relaxed); }

ScopedDocumentTextLimit::ScopedDocumentTextLimit(int64_t characters) : m_previous(g_limit.exchange(characters)) {}
ScopedDocumentTextLimit::~ScopedDocumentTextLimit() { g_limit.store(m_previous); }

void refuseGrowth() { raise(WordError::DocumentTooLarge, std::to_string(documentTextLimit())); }

void TextBudget::take(int64_t characters) {
    if (characters > room()) refuseGrowth();
    m_characters += characters;
}

int64_t TextBudget::room() const { return std::max<int64_t>(0, documentTextLimit() - m_characters); }

}  // namespace lumora::word
