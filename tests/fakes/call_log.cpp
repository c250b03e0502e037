#include "fakes/call_log.h"
