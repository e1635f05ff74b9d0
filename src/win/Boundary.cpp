#include "Boundary.h"

namespace {

TBoundaryHandler Handler = nullptr;

}  // namespace

void SetBoundaryHandler(TBoundaryHandler handler) { Handler = handler; }

void ExceptionAtBoundary() noexcept {
    if (!Handler) return;
    try {
        Handler();
    } catch (...) {
        // The handler ends the run; nothing more can be done from inside a callback.
    }
}
