#include "transform_budget.hpp"

#include <libxml/xmlmemory.h>
#include <libxslt/xsltInternals.h>
#include <malloc.h>
#include <time.h>

#include <cstdlib>
#include <cstring>

namespace lumora::xml {

namespace {

thread_local TransformBudget* t_budget = nullptr;

// Past the budget a transformation is only told to stop; it may still need a little memory to
// unwind. Beyond this margin allocations fail outright, which the libraries report as an error.
constexpr size_t kUnwindMargin = size_t{16} << 20;
// The processor clock is read once every so many allocations.
constexpr uint32_t kClockEvery = 4096;

int64_t threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void* countedMalloc(size_t size) {
    TransformBudget* budget = t_budget;
    if (budget && !budget->admits(size)) return nullptr;
    void* block = std::malloc(size);
    if (block && budget) budget->allocated(malloc_usable_size(block));
    return block;
}

void* countedRealloc(void* block, size_t size) {
    TransformBudget* budget = t_budget;
    if (!budget) return std::realloc(block, size);
    size_t before = block ? malloc_usable_size(block) : 0;
    if (size > before && !budget->admits(size - before)) return nullptr;
    void* moved = std::realloc(block, size);
    if (!moved) return nullptr;
    budget->released(before);
    budget->allocated(malloc_usable_size(moved));
    return moved;
}

void countedFree(void* block) {
    // Blocks made before the budget began may be freed under it; the count may go below zero.
    if (block && t_budget) t_budget->released(malloc_usable_size(block));
    std::free(block);
}

char* countedStrdup(const char* text) {
    size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(countedMalloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

}  // namespace

void installAllocationCounting() { xmlMemSetup(countedFree, countedMalloc, countedRealloc, countedStrdup); }

TransformBudget::TransformBudget(_xsltTransformContext* transform, size_t maxBytes,
                                 std::chrono::milliseconds maxCpuTime)
    : m_transform(transform),
      m_maxBytes(maxBytes),
      m_cpuDeadlineNs(threadCpuNs() + std::chrono::duration_cast<std::chrono::nanoseconds>(maxCpuTime).count()),
      m_previous(t_budget) {
    t_budget = this;
}

TransformBudget::~TransformBudget() { t_budget = m_previous; }

bool TransformBudget::admits(size_t bytes) const {
    return m_held + static_cast<int64_t>(bytes) <= static_cast<int64_t>(m_maxBytes + kUnwindMargin);
}

void TransformBudget::allocated(size_t bytes) {
    m_held += static_cast<int64_t>(bytes);
    if (m_exceeded != Exceeded::Nothing) return;
    if (m_held > static_cast<int64_t>(m_maxBytes)) return stop(Exceeded::Memory);
    if (++m_allocations % kClockEvery == 0 && threadCpuNs() > m_cpuDeadlineNs) stop(Exceeded::Time);
}

void TransformBudget::stop(Exceeded why) {
    m_exceeded = why;
    // The engine checks its state between instructions and unwinds from there.
    if (m_transform) m_transform->state = XSLT_STATE_STOPPED;
}

}  // namespace lumora::xml
