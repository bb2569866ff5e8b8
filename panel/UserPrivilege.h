#pragma once

enum UserPrivilege {
    kPrivilegeGuest = 0,
    kPrivilegeUser = 1,
    kPrivilegeAdministrator = 2,  // only this level may tune the card
};

// The signed-in user's account privilege; guest when it cannot be read.
UserPrivilege QueryUserPrivilege();
