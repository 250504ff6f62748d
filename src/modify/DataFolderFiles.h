// The files of the data folder a window's run uses when it can: the undo history and the
// log of temporaries. Without a data folder (no home folder, or it cannot be created) the
// window still modifies, as it always could, without them.
#pragma once

#include <string>

namespace kestrix::modify {

// The undo history's folder in the data folder; empty when there is no data folder (a run
// with backups then reports that it cannot write the history).
std::string historyFolderIfAny();
// The log of the runs' temporaries, the one the console's runs keep too, its data folder
// created when missing; empty when there is none (the next run that has it cleans up).
std::string temporaryLogIfAny();

}  // namespace kestrix::modify
