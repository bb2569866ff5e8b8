#include "CrashHandBack.h"

#include <windows.h>

#include "Application.h"
#include "CardFanAutomatic.h"

namespace {

Application* gCrashedApp = nullptr;
volatile LONG gHandingBack = 0;

LONG WINAPI HandBack(EXCEPTION_POINTERS*) {
    // A second fault, in this pass or on another thread, goes straight on.
    if (InterlockedExchange(&gHandingBack, 1) == 0 && gCrashedApp) {
        HandCardsBack(gCrashedApp->hardware, gCrashedApp->cards);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void HandCardsBackOnCrash(Application* app) {
    gCrashedApp = app;
    SetUnhandledExceptionFilter(HandBack);
}
