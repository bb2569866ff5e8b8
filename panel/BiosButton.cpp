// The BIOS button: choose a ".rom" file and write it to the current card.

#include "MainPanel.h"

#include "BiosUpdate.h"
#include "Messages.h"

namespace {

// Runs on the update's worker thread: the button is released by the
// interface thread, which owns it.
void ReleaseBiosButton(void* mainWindow) {
    PostMessageW(static_cast<HWND>(mainWindow), UM_RELEASE_BIOS_BUTTON, 0, 0);
}

}  // namespace

void MainPanel::ChooseBios() {
    // Flashing is a change to the card like any other tuning, and a walk's
    // card must not be flashed under it.
    if (!IsAdministrator() || overclock_.WalkRunning()) {
        biosGroup_.Select(nullptr);
        return;
    }
    FlashRequest request;
    InitFlashRequest(&request, window, CurrentCard());
    request.restoreButton = ReleaseBiosButton;
    request.context = window;
    ChooseBiosFile(&request);
}
