#pragma once
// The scanning tests' names for the shared test helpers.

#include "support/TempDrive.h"

namespace scan_support {
using Tree = testing_support::TempDrive;
using testing_support::runUnprivileged;
} // namespace scan_support
