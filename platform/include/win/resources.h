// placeholder: filled by the resources part of the platform
#pragma once
#include "types.h"
