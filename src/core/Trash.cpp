#include "core/Trash.h"
