// `ksr replace --interactive`: each change shown with its changed words marked and put to
// the user, then exactly the accepted changes written.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/ModifyOptions.h"
#include "modify/Review.h"

namespace kestrix::cli {

// The answer to one change's question (Stopped: a stop came while it was asked).
enum class Answer { Yes, No, AllInFile, SkipFile, Quit, Stopped };

// Shows each change of `review` on `out` and asks "Apply? [y]es [n]o [a]ll in this file
// [s]kip file [q]uit", reading one answer a line from `in` (an answer that is none of these
// asks again; the end of `in` quits; `stopped` returning true, checked while an answer is
// read, ends the questions at once). Returns which changes were accepted, one list per file
// of the review. `color`: the changed words in colour, else marked [-old-]{+new+}.
std::vector<modify::Accepted> askForChanges(const modify::Review& review, std::FILE* in,
                                            std::FILE* out, bool color,
                                            const std::function<bool()>& stopped = {});

// Reviews the modification of `rows`, asks about every change on standard input and
// writes the accepted ones through the modify pass. Returns the exit status: 0 when
// every accepted change was written, 3 when a file failed, 2 when stopped (a stop while a
// question waits writes nothing).
int replaceInteractively(const modify::ModifyRequest& request,
                         std::vector<search::ResultItem>& rows, const ModifyArgs& args,
                         const FindOptions& find, ConsoleModifyObserver& observer);

}  // namespace kestrix::cli
