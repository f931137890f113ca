#include "core/Companies.h"
