#include "device_failure.h"

#include <cerrno>

namespace kelbo {

DeviceFault fileFault(int systemError) {
    return systemError == ENOSPC || systemError == EDQUOT ? DeviceFault::DiskFull : DeviceFault::Folder;
}

}  // namespace kelbo
