#pragma once
// The process's resident memory, for health records; 0 when unknown.

namespace platform {

long residentMemoryKb();

} // namespace platform
