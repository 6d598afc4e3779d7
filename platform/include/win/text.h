// placeholder: filled by the text part of the platform
#pragma once
#include "types.h"
