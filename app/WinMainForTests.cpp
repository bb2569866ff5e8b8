// The program as the tests and the demonstration run it: the same start-up,
// except that the user's privilege comes from VEXA_TEST_PRIVILEGE (0 guest,
// 1 user, 2 administrator) when it is set. Wine reports every account as a
// guest, so the real query alone could never show an administrator's panel.
// Never part of a release.

#include <windows.h>

#include "Application.h"

static Application gApplication;
Application* gApp = &gApplication;

namespace {

UserPrivilege PrivilegeForTests() {
    wchar_t value[4] = {};
    if (GetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", value, 4) == 1 && value[0] >= L'0' && value[0] <= L'2') {
        return static_cast<UserPrivilege>(value[0] - L'0');
    }
    return QueryUserPrivilege();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    gApp->privilegeSource = PrivilegeForTests;
    return gApp->Run(instance, commandLine);
}
