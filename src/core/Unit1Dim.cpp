// The parallel dimension built on OK (stubs until implemented).
#include "Unit1.h"
