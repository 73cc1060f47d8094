#include "platform/rtl/system.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<HostPathMapper> gMapper{nullptr};
}

void SetHostPathMapper(HostPathMapper mapper) { gMapper.store(mapper); }

std::string HostPath(const std::string& path) {
  const HostPathMapper m = gMapper.load();
  return m ? m(path) : path;
}

}  // namespace platform
