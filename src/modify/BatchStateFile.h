// Where the "Batch Replace" dialog keeps its state between runs, and storing it there.
#pragma once

#include <string>

#include "modify/BatchTable.h"

namespace kestrix::modify {

// The state file's full name: the data folder + "/Batch.tmp"; empty when there is no home
// folder (the dialog then keeps no state).
std::string batchStateFilePath();

// Writes `state` to `path` (writeBatchState), creating the file's folder first when it is
// missing (the data folder on first use). Throws platform::AtomicWriteError.
void storeBatchState(const std::string& path, const BatchState& state);

}  // namespace kestrix::modify
