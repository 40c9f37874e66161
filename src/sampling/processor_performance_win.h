// The performance-data helper library's query behind the processors'
// working clock, for any two counters (exposed for the bench).
#pragma once

#include <memory>

#include "sampling/processor_performance.h"

namespace zt {

// A query over two counters given by their English paths, read as the
// performance and the nominal clock; null when the library, an entry point
// or a counter is missing.
std::unique_ptr<IProcessorPerformanceQuery> OpenPerformanceQuery(const wchar_t* performance_path,
                                                                 const wchar_t* nominal_path);

}  // namespace zt
