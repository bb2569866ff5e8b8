#include <windows.h>

#include "Application.h"

// Constructed before WinMain runs and alive until the process ends.
static Application gApplication;
Application* gApp = &gApplication;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return gApp->Run(instance, commandLine);
}
