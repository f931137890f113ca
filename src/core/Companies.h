#pragma once

#include "core/Result.h"
