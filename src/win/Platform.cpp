#include "Platform.h"

#include "Fpu.h"

void PreparePlatform() {
    SetExtendedPrecision();  // first: every long double intermediate depends on it
}
