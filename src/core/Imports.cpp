#include "core/Imports.h"
