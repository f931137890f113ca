#include "core/Contacts.h"
