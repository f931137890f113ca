#include "core/Memberships.h"
