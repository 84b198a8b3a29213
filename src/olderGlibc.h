// Included before anything else in every file (see CMakeLists.txt). Under
// _GNU_SOURCE, which g++ always defines, glibc 2.38 and later send the scanf
// and strtol families to C23 versions, which also read 0b numbers and which
// no older glibc has: a package built on Debian 13 would then not install on
// Debian 12. The game reads no 0b numbers, so it asks for the versions every
// glibc has. (glibc 2.38 named the switch C2X.)
#include <features.h>
#undef __GLIBC_USE_C23_STRTOL
#define __GLIBC_USE_C23_STRTOL 0
#undef __GLIBC_USE_C2X_STRTOL
#define __GLIBC_USE_C2X_STRTOL 0
