#include "core/Links.h"
