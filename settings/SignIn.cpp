#include "settings/SignIn.h"

TSignIn SignInOf(std::int32_t value) {
    return value >= siPassword && value <= siGoogle ? static_cast<TSignIn>(value) : siPassword;
}

bool IsAccountSignIn(TSignIn signIn) { return signIn == siMicrosoft || signIn == siGoogle; }

TPop3Auth Pop3AuthOf(TSignIn signIn) {
    switch (signIn) {
        case siPlain: return paPlain;
        case siMicrosoft:
        case siGoogle: return paXOAuth2;
        case siPassword: break;
    }
    return paUserPass;
}
