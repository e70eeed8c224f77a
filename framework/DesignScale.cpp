#include "framework/DesignScale.h"

int TDesignScale::operator()(int designPixels) const {
    const long long scaled = static_cast<long long>(designPixels) * PixelsPerInch;
    const long long half = scaled < 0 ? -kDesignPixelsPerInch / 2 : kDesignPixelsPerInch / 2;
    return static_cast<int>((scaled + half) / kDesignPixelsPerInch);
}
