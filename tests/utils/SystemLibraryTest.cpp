#include "SystemLibrary.h"

#include <string>

#include <gtest/gtest.h>

namespace {

typedef DWORD(WINAPI* GetTickCountFn)();

// A library that exists only beside the test: a load by bare name finds it,
// a system library's load must not.
TEST(SystemLibrary, LoadsOnlyFromTheSystemFolder) {
    HMODULE kernel = LoadSystemLibrary(L"kernel32.dll");
    EXPECT_EQ(GetModuleHandleW(L"kernel32.dll"), kernel);
    GetTickCountFn tick = nullptr;
    EXPECT_TRUE(FindLibraryFunction(kernel, "GetTickCount", &tick));
    EXPECT_TRUE(tick != nullptr);
    EXPECT_FALSE(FindLibraryFunction(kernel, "NoSuchFunctionAnywhere", &tick));
    EXPECT_TRUE(tick == nullptr);
    EXPECT_FALSE(FindLibraryFunction<GetTickCountFn>(nullptr, "GetTickCount", &tick));

    const wchar_t kLocal[] = L"vexa-beside-the-test.dll";
    ASSERT_TRUE(CopyFileW(L"inicd.dll", kLocal, FALSE));
    HMODULE local = LoadLibraryW(kLocal);
    EXPECT_TRUE(local != nullptr) << "the copy should load by its bare name";
    if (local) FreeLibrary(local);
    EXPECT_TRUE(LoadSystemLibrary(kLocal) == nullptr);
    DeleteFileW(kLocal);

    EXPECT_TRUE(LoadSystemLibrary(std::wstring(MAX_PATH, L'a').c_str()) == nullptr);
}

}  // namespace
