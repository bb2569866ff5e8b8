#include "UserPrivilege.h"

#include <windows.h>
#include <lm.h>

UserPrivilege QueryUserPrivilege() {
    wchar_t name[UNLEN + 1];
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(name, &size)) return kPrivilegeGuest;
    LPBYTE buffer = NULL;
    if (NetUserGetInfo(NULL, name, 1, &buffer) != NERR_Success || !buffer) {
        if (buffer) NetApiBufferFree(buffer);
        return kPrivilegeGuest;
    }
    DWORD privilege = reinterpret_cast<USER_INFO_1*>(buffer)->usri1_priv;
    NetApiBufferFree(buffer);
    switch (privilege) {
        case USER_PRIV_ADMIN:
            return kPrivilegeAdministrator;
        case USER_PRIV_USER:
            return kPrivilegeUser;
        default:
            return kPrivilegeGuest;
    }
}
