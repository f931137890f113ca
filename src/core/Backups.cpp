#include "core/Backups.h"
