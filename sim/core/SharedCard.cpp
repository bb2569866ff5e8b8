#include "SharedCard.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "CardModel.h"
#include "Scenario.h"

namespace vcard {

namespace {

const size_t kMaxScenarioFile = 64 * 1024;
const int64_t kMaxCatchUpMs = 10 * 60 * 1000;

int64_t WallTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return ((int64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

void ModuleFolder(wchar_t* folder, size_t size) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)(void*)&ModuleFolder, &module);
    DWORD n = GetModuleFileNameW(module, folder, (DWORD)size);
    if (n == 0 || n >= size) {
        folder[0] = L'\0';
        return;
    }
    wchar_t* slash = wcsrchr(folder, L'\\');
    if (slash) *slash = L'\0';
}

bool IsRelative(const wchar_t* path) {
    return !(path[0] == L'\\' || path[0] == L'/' || (path[0] && path[1] == L':'));
}

// Everything a module keeps about its view of the shared state.
struct Connection {
    CRITICAL_SECTION guard;
    bool opened = false;
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    HANDLE mutex = nullptr;
    CardState* view = nullptr;
    wchar_t path[MAX_PATH] = {};
    char error[200] = {};

    Connection() { InitializeCriticalSection(&guard); }
    ~Connection() {
        Close();
        DeleteCriticalSection(&guard);
    }
    bool Open();
    // Lets go of everything, so that a failed open can be tried again.
    void Close() {
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (mutex) CloseHandle(mutex);
        view = nullptr;
        mapping = nullptr;
        file = INVALID_HANDLE_VALUE;
        mutex = nullptr;
    }
};

Connection gConnection;

void ChooseStatePath(wchar_t* path, size_t size) {
    wchar_t folder[MAX_PATH];
    ModuleFolder(folder, MAX_PATH);
    wchar_t wanted[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"VEXA_VCARD_STATE", wanted, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) wcscpy(wanted, L"vcard.state");
    if (IsRelative(wanted)) {
        _snwprintf(path, size, L"%ls\\%ls", folder, wanted);
    } else {
        _snwprintf(path, size, L"%ls", wanted);
    }
    path[size - 1] = L'\0';
}

uint32_t HashPath(const wchar_t* path) {
    uint32_t hash = 2166136261u;
    for (const wchar_t* p = path; *p; ++p) {
        wchar_t c = *p == L'/' ? L'\\' : towlower(*p);
        hash = (hash ^ (uint32_t)c) * 16777619u;
    }
    return hash;
}

bool Fresh(const CardState* view) {
    return view->magic != kStateMagic || view->layout != kStateLayout || view->size != sizeof(CardState);
}

// The scenario VEXA_VCARD asks for, or the default; true when it asks.
bool EnvScenario(char* scenario, size_t size) {
    wchar_t value[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"VEXA_VCARD", value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || value[0] == L'\0' ||
        !WideCharToMultiByte(CP_UTF8, 0, value, -1, scenario, (int)size, nullptr, nullptr)) {
        snprintf(scenario, size, "%s", kDefaultScenario);
        return false;
    }
    return true;
}

bool Connection::Open() {
    ChooseStatePath(path, MAX_PATH);
    wchar_t name[64];
    _snwprintf(name, 64, L"Local\\VexaVirtualCard_%08x", HashPath(path));
    name[63] = L'\0';
    wchar_t mutexName[80];
    _snwprintf(mutexName, 80, L"%ls_lock", name);
    mutexName[79] = L'\0';

    mutex = CreateMutexW(nullptr, FALSE, mutexName);
    if (!mutex) {
        snprintf(error, sizeof(error), "cannot create the card's lock (error %lu)", GetLastError());
        return false;
    }
    WaitForSingleObject(mutex, INFINITE);
    file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Without a writable state file the card still works, but forgets
    // itself when the last process lets go.
    mapping = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, sizeof(CardState), name);
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (mapping) view = (CardState*)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(CardState));
    if (!view) {
        snprintf(error, sizeof(error), "cannot map the card's state (error %lu)", GetLastError());
        ReleaseMutex(mutex);
        Close();
        return false;
    }
    if (Fresh(view)) {
        SharedCard::PowerUp(view, nullptr);
    } else if (!existed) {
        // Nobody holds the card: it carries on from the state file when that
        // is the scenario asked for now, or when a reset command chose it and
        // VEXA_VCARD does not ask for another; else it powers up afresh.
        char scenario[kNameChars];
        bool asked = EnvScenario(scenario, sizeof(scenario));
        bool same = strcmp(scenario, view->scenario) == 0;
        if (!same && (asked || !view->chosenByReset)) SharedCard::PowerUp(view, nullptr);
    }
    ReleaseMutex(mutex);
    return true;
}

bool ReadScenarioFile(const char* name, char** text, char* error, size_t errorSize) {
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, MAX_PATH)) {
        snprintf(error, errorSize, "scenario name too long");
        return false;
    }
    FILE* file = _wfopen(wide, L"rb");
    if (!file && IsRelative(wide)) {
        wchar_t folder[MAX_PATH], full[MAX_PATH];
        ModuleFolder(folder, MAX_PATH);
        _snwprintf(full, MAX_PATH, L"%ls\\%ls", folder, wide);
        full[MAX_PATH - 1] = L'\0';
        file = _wfopen(full, L"rb");
    }
    if (!file) {
        snprintf(error, errorSize, "unknown scenario '%s': no built-in of that name and no such file", name);
        return false;
    }
    char* buffer = (char*)malloc(kMaxScenarioFile + 1);
    size_t n = buffer ? fread(buffer, 1, kMaxScenarioFile + 1, file) : 0;
    fclose(file);
    if (!buffer) {
        snprintf(error, errorSize, "out of memory");
        return false;
    }
    if (n > kMaxScenarioFile) {
        free(buffer);
        snprintf(error, errorSize, "scenario file '%s' is larger than 64 KiB", name);
        return false;
    }
    buffer[n] = '\0';
    if (strlen(buffer) != n) {
        free(buffer);
        snprintf(error, errorSize, "scenario file '%s' is not text", name);
        return false;
    }
    *text = buffer;
    return true;
}

}  // namespace

CardState* SharedCard::Lock() {
    Connection& c = gConnection;
    EnterCriticalSection(&c.guard);
    if (!c.opened) c.opened = c.Open();
    bool ok = c.opened;
    LeaveCriticalSection(&c.guard);
    if (!ok) return nullptr;

    WaitForSingleObject(c.mutex, INFINITE);  // an abandoned lock is ours just the same
    CardState* state = c.view;
    int64_t now = WallTime();
    int64_t elapsedMs = (now - state->wallTime) / 10000;
    if (state->timeMode != 0 || state->wallTime == 0 || elapsedMs < 0) {
        state->wallTime = now;
    } else if (elapsedMs > 0) {
        if (elapsedMs > kMaxCatchUpMs) {
            StepModel(*state, (uint32_t)kMaxCatchUpMs);
            state->wallTime = now;
        } else {
            StepModel(*state, (uint32_t)elapsedMs);
            state->wallTime += elapsedMs * 10000;
        }
    }
    return state;
}

void SharedCard::Unlock() {
    ReleaseMutex(gConnection.mutex);
}

bool SharedCard::PowerUp(CardState* state, const char* scenario) {
    int32_t timeMode = Fresh(state) ? 0 : state->timeMode;
    memset(state, 0, sizeof(*state));
    state->magic = kStateMagic;
    state->layout = kStateLayout;
    state->size = sizeof(CardState);
    state->timeMode = timeMode;
    state->flashBackupMs = 1200;
    state->flashUpdateMs = 2500;
    state->faults.refuseClocksStatus = -1;
    state->wallTime = WallTime();

    char name[kNameChars];
    state->chosenByReset = scenario && *scenario;
    if (state->chosenByReset)
        snprintf(name, sizeof(name), "%s", scenario);
    else
        EnvScenario(name, sizeof(name));
    snprintf(state->scenario, sizeof(state->scenario), "%s", name);

    const char* builtin = BuiltinScenarioText(name);
    if (builtin) return LoadScenarioText(builtin, state, state->scenarioError, sizeof(state->scenarioError));
    char* text = nullptr;
    if (!ReadScenarioFile(name, &text, state->scenarioError, sizeof(state->scenarioError))) {
        PowerUpWithoutDriver(state);
        return false;
    }
    char error[kNameChars - 40];
    bool ok = LoadScenarioText(text, state, error, sizeof(error));
    free(text);
    if (!ok) snprintf(state->scenarioError, sizeof(state->scenarioError), "scenario file '%s': %s", name, error);
    return ok;
}

const wchar_t* SharedCard::StatePath() {
    CardLock lock;
    return gConnection.path;
}

const char* SharedCard::OpenError() {
    return gConnection.error;
}

}  // namespace vcard
