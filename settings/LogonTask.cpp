#include "LogonTask.h"

#include <taskschd.h>

#include "ComHolders.h"
#include "HandleHolders.h"
#include "LogonTaskXml.h"

const wchar_t kLogonTaskName[] = L"VexaPanel";

namespace {

// The scheduler's class and interface by their documented identifiers, so
// that nothing of the scheduler is linked and XP loads the program.
const CLSID kTaskSchedulerClass = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
const IID kTaskServiceInterface = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

const int kNameSamCompatible = 2;  // EXTENDED_NAME_FORMAT: "DOMAIN\user"
typedef BOOLEAN(WINAPI* GetUserNameExFn)(int format, LPWSTR name, PULONG size);

// Connects to this machine's scheduler and opens its root folder.
bool OpenRootFolder(ComPtr<ITaskFolder>* folder) {
    ComPtr<ITaskService> service;
    if (!Com() || FAILED(Com()->CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                                                 kTaskServiceInterface, service.ReceiveVoid()))) {
        return false;
    }
    VARIANT none = {};  // VT_EMPTY
    if (FAILED(service->Connect(none, none, none, none))) return false;
    BstrHolder root(L"\\");
    return root.Get() && SUCCEEDED(service->GetFolder(root.Get(), folder->Receive()));
}

// This process's user as "DOMAIN\user", which limits the task to that user's
// logon; empty when the system cannot say, and the scheduler then takes the
// registering user.
void CurrentUserId(wchar_t* out, ULONG outChars) {
    out[0] = L'\0';
    ModuleHolder security(LoadLibraryW(L"secur32.dll"));
    if (!security) return;
    GetUserNameExFn getUserNameEx =
        reinterpret_cast<GetUserNameExFn>(reinterpret_cast<void*>(GetProcAddress(security.Get(), "GetUserNameExW")));
    ULONG size = outChars;
    if (!getUserNameEx || !getUserNameEx(kNameSamCompatible, out, &size) || size >= outChars) out[0] = L'\0';
}

}  // namespace

bool StartsThroughLogonTask() {
    OSVERSIONINFOEXW vista = {};
    vista.dwOSVersionInfoSize = sizeof(vista);
    vista.dwMajorVersion = 6;
    if (!VerifyVersionInfoW(&vista, VER_MAJORVERSION, VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL))) {
        return false;
    }
    HandleHolder token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

bool RegisterLogonTask(int mode, const wchar_t* programPath) {
    wchar_t user[kLogonTaskMaxUserChars + 1];
    CurrentUserId(user, kLogonTaskMaxUserChars + 1);
    wchar_t xml[kLogonTaskXmlBufferChars];
    if (ComposeLogonTaskXml(programPath, mode, user, xml, kLogonTaskXmlBufferChars) == 0) return false;

    ComApartment apartment;
    ComPtr<ITaskFolder> folder;
    if (!OpenRootFolder(&folder)) return false;
    BstrHolder name(kLogonTaskName);
    BstrHolder text(xml);
    if (!name.Get() || !text.Get()) return false;
    VARIANT none = {};  // VT_EMPTY
    ComPtr<IRegisteredTask> task;
    return SUCCEEDED(folder->RegisterTask(name.Get(), text.Get(), TASK_CREATE_OR_UPDATE, none, none,
                                          TASK_LOGON_INTERACTIVE_TOKEN, none, task.Receive()));
}

bool DeleteLogonTask() {
    ComApartment apartment;
    ComPtr<ITaskFolder> folder;
    // Without a scheduler there is no task either.
    if (!OpenRootFolder(&folder)) return true;
    BstrHolder name(kLogonTaskName);
    if (!name.Get()) return false;
    HRESULT hr = folder->DeleteTask(name.Get(), 0);
    return SUCCEEDED(hr) || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

bool ReadLogonTaskArguments(wchar_t* out, size_t outChars) {
    if (!out || outChars == 0) return false;
    out[0] = L'\0';
    ComApartment apartment;
    ComPtr<ITaskFolder> folder;
    if (!OpenRootFolder(&folder)) return false;
    BstrHolder name(kLogonTaskName);
    ComPtr<IRegisteredTask> task;
    if (!name.Get() || FAILED(folder->GetTask(name.Get(), task.Receive()))) return false;
    BstrHolder xml;
    if (SUCCEEDED(task->get_Xml(xml.Receive())) && xml.Get()) {
        FindLogonTaskArguments(xml.Get(), xml.Length(), out, outChars);
    }
    return true;
}
