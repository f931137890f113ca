#include "core/Entries.h"
