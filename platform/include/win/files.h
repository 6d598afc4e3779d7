// placeholder: filled by the files part of the platform
#pragma once
#include "types.h"
