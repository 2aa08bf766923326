#include "app/globals.h"

int32_t FileCount = 0;
int32_t FileIndex = 0;
