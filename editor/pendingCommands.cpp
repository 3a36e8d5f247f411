// Commands whose real versions are not built yet: each only says so.
// A command's real version replaces its function here.
#include "commands.h"
