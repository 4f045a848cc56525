// The program's version, kept here once: the version resource takes its
// numbers and texts from these, and scripts/dist names the release after the
// resource of the built program.
#pragma once

#define LUMENO_VERSION_MAJOR 1
#define LUMENO_VERSION_MINOR 1
#define LUMENO_VERSION_PATCH 0

#define LUMENO_STRINGIZE_(x) #x
#define LUMENO_STRINGIZE(x) LUMENO_STRINGIZE_(x)
#define LUMENO_VERSION_TEXT                                                            \
  LUMENO_STRINGIZE(LUMENO_VERSION_MAJOR) "." LUMENO_STRINGIZE(LUMENO_VERSION_MINOR) "." \
  LUMENO_STRINGIZE(LUMENO_VERSION_PATCH)
