// Identifiers shared by the resource script and the program.
#pragma once

// The program icon; the lowest icon identifier, so it is also the executable's icon.
#define IDI_FOLIOMIX 1
