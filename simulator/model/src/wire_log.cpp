#include "ombrix_sim/wire_log.h"

#include <utility>

namespace ombrix::sim {

void WireLog::add(WireRecord record) {
    if (records_.size() == kCapacity) records_.pop_front();
    records_.push_back(std::move(record));
}

}  // namespace ombrix::sim
