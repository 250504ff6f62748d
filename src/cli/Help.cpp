// `ksr --help` and `ksr --version`.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/FindOptions.h"
#include "cli/ModifyOptions.h"

namespace kestrix::cli {

void printHelp(const Command* commands, int count) {
  std::printf("Usage: ksr COMMAND [options] ...\n\nCommands:\n");
  for (int i = 0; i < count; ++i) std::printf("  %-15s%s\n", commands[i].name, commands[i].summary);
  std::printf("\nksr COMMAND --help shows the options of one command.\n");
  std::printf("  --help     show this help\n  --version  show the version\n\n%s",
              findOptionsHelp());
  std::printf("\n%s", modifyOptionsHelp());
  std::printf("\n%s", eraseBackupsHelp());
}

void printVersion() {
  std::printf("ksr (Kestrix Search & Replace) %s\n", KESTRIX_VERSION);
}

}  // namespace kestrix::cli
