#include "core/Categories.h"
