#pragma once
// The memory and processor time one XSLT transformation may use. The budget is kept while the
// transformation runs, not checked on its result: every allocation the XML libraries make on
// the transforming thread is counted, and once the transformation holds more memory than
// allowed, or has run longer than allowed, it is stopped where it stands. A stylesheet that
// copies a document a thousand times, or recurses to build an exponential tree, ends within
// a bounded amount of memory and seconds instead of taking the process down.

#include <chrono>
#include <cstddef>
#include <cstdint>

struct _xsltTransformContext;

namespace lumora::xml {

// Routes the XML libraries' allocations through the counting functions. Called once, before
// the libraries are first used; allocations on threads without a budget are not slowed.
void installAllocationCounting();

class TransformBudget {
public:
    enum class Exceeded { Nothing, Memory, Time };

    // Counts the calling thread's allocations until destroyed; `transform` is stopped when the
    // budget runs out.
    TransformBudget(_xsltTransformContext* transform, size_t maxBytes, std::chrono::milliseconds maxCpuTime);
    ~TransformBudget();
    TransformBudget(const TransformBudget&) = delete;
    TransformBudget& operator=(const TransformBudget&) = delete;

    Exceeded exceeded() const { return m_exceeded; }

    // For the allocation functions.
    bool admits(size_t bytes) const;
    void allocated(size_t bytes);
    void released(size_t bytes) { m_held -= static_cast<int64_t>(bytes); }

private:
    void stop(Exceeded why);

    _xsltTransformContext* m_transform;
    size_t m_maxBytes;
    int64_t m_cpuDeadlineNs;
    int64_t m_held = 0;
    uint32_t m_allocations = 0;
    Exceeded m_exceeded = Exceeded::Nothing;
    TransformBudget* m_previous;
};

}  // namespace lumora::xml
