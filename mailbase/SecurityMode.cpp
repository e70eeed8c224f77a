#include "mailbase/SecurityMode.h"

TSecurityMode SecurityModeOf(std::int32_t stored) {
    switch (stored) {
        case smSTLS:
            return smSTLS;
        case smTLS:
            return smTLS;
        default:
            return smNone;
    }
}
