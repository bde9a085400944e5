#include <gtest/gtest.h>
#include <objbase.h>

#include "base/exceptions.h"
#include "base/system_win.h"
#include "settings/registry_win.h"
#include "support/test_support.h"
#include "wallpaper/change_wall_win.h"
#include "wallpaper_stand_in.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    TRegistryOverride override_;
};

}  // namespace

TEST_F(RegistryTest, OpensRelativeAndAbsolutePathsAndCreatesOnlyWhenAsked) {
    TRegistry registry;
    EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(registry.OpenKey("Missing\\Key", false));
    EXPECT_FALSE(registry.HasOpenKey());
    ASSERT_TRUE(registry.OpenKey("\\A", true));
    ASSERT_TRUE(registry.OpenKey("B", true));  // relative to the open key
    EXPECT_EQ(registry.CurrentPath(), "A\\B");
    registry.WriteString("v", "x");
    ASSERT_TRUE(registry.OpenKey("\\A", false));
    EXPECT_FALSE(registry.ValueExists("v"));
    ASSERT_TRUE(registry.OpenKey("\\A\\B", false));
    EXPECT_TRUE(registry.ValueExists("v"));
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_FALSE(registry.OpenKey("\\A", false));
}

TEST_F(RegistryTest, WritesTextWithItsTerminatingZero) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("K", true));
    registry.WriteString("Лумо", "C:\\Обои\\a.jpg");
    registry.WriteString("empty", "");
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, "K", "Лумо", data, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("C:\\\xCE\xE1\xEE\xE8\\a.jpg\0", 14));
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, "K", "empty", data, type));
    EXPECT_EQ(data, std::string(1, '\0'));
    EXPECT_EQ(registry.ReadString("Лумо"), "C:\\Обои\\a.jpg");
}

TEST_F(RegistryTest, ReadsTextTypesOnly) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const DWORD number = 7;
    RegSetValueExA(key, "dword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExA(key, "expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%WINDIR%\\x"), 11);
    RegSetValueExA(key, "nul", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 6);
    RegCloseKey(key);

    TRegistry registry;
    EXPECT_EQ(registry.ReadString("nul"), "");  // nothing open yet
    EXPECT_FALSE(registry.ValueExists("nul"));
    ASSERT_TRUE(registry.OpenKey("K", false));
    EXPECT_EQ(registry.ReadString("expand"), "%WINDIR%\\x");
    EXPECT_EQ(registry.ReadString("nul"), "ab");
    EXPECT_EQ(registry.ReadString("absent"), "");
    EXPECT_EQ(FailureOf([&] { registry.ReadString("dword"); }), "ERegistryException: Invalid data type for 'dword'");
    EXPECT_TRUE(registry.ValueExists("dword"));
    registry.DeleteValue("dword");
    EXPECT_FALSE(registry.ValueExists("dword"));
    registry.DeleteValue("dword");  // deleting twice reports nothing
    registry.CloseKey();
    EXPECT_FALSE(registry.ValueExists("nul"));
}

TEST_F(RegistryTest, KeyWithoutFullAccessLeavesNothingOpen) {
    const std::string old = MakeKeyReadOnly(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("Control Panel\\Desktop", false));
    EXPECT_EQ(FailureOf([&] { registry.WriteString("Wallpaper", "x"); }),
              "ERegistryException: Failed to set data for 'Wallpaper'");
    EXPECT_EQ(registry.ReadString("Wallpaper"), "");
    TRegistry reader(KEY_READ);
    EXPECT_TRUE(reader.OpenKey("Control Panel\\Desktop", false));
    RestoreKeySecurity(HKEY_CURRENT_USER, "Control Panel\\Desktop", old);
}

class ChangeWallTest : public RegistryTest {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        SetRegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "TileWallpaper", "1");
    }
    void TearDown() override { CoUninitialize(); }
    static std::string Value(const char* name) {
        std::string data;
        DWORD type = 0;
        if (!ReadRegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, data, type)) return "<absent>";
        return type == REG_SZ ? data : "<type " + std::to_string(type) + ">";
    }
};

namespace {
// The wallpaper setting's calls, through the import: action, path, flags, placement written.
std::wstring SettingCalls;
BOOL SettingResult = TRUE;
BOOL WINAPI RecordSetting(UINT action, UINT, PVOID path, UINT flags) {
    SettingCalls += std::to_wstring(action) + L" " + static_cast<wchar_t*>(path) + L" " + std::to_wstring(flags) +
                    WidePath(ReadRegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle")) + L";";
    SetLastError(ERROR_FILE_NOT_FOUND);
    return SettingResult;
}
}  // namespace

extern "C" void* __imp_SystemParametersInfoW;

TEST_F(ChangeWallTest, WithoutTheDesktopWallpaperObjectTheValuesOfThePlacementAndTheSystemsSetting) {
    void* const system = __imp_SystemParametersInfoW;
    __imp_SystemParametersInfoW = reinterpret_cast<void*>(&RecordSetting);
    EXPECT_EQ(WallpaperMonitorCount(), 1u);  // Wine has no such object
    const std::tuple<TWallpaperPlacement, const char*, const char*> placements[] = {
        {TWallpaperPlacement::Fill, "10", "0"},   {TWallpaperPlacement::Fit, "6", "0"},
        {TWallpaperPlacement::Stretch, "2", "0"}, {TWallpaperPlacement::Tile, "0", "1"},
        {TWallpaperPlacement::Center, "0", "0"},  {TWallpaperPlacement::Span, "22", "0"},
    };
    for (const auto& [placement, style, tile] : placements) {
        ApplyWallpaperChange({{"C:\\Фото\\нет такого.jpg", "C:\\b.jpg"}, placement});
        EXPECT_EQ(Value("Wallpaper"), std::string("C:\\Фото\\нет такого.jpg") + '\0');
        EXPECT_EQ(Value("WallpaperStyle"), std::string(style) + '\0');
        EXPECT_EQ(Value("TileWallpaper"), std::string(tile) + '\0');
    }
    SettingCalls.clear();
    ApplyWallpaperChange({{""}, TWallpaperPlacement::Stretch});
    EXPECT_EQ(Value("Wallpaper"), std::string(1, '\0'));
    ApplyWallpaperChange({});  // no pictures: nothing at all
    SettingResult = FALSE;
    const std::string failure = FailureOf([] { ApplyWallpaperChange({{"C:\\a.bmp"}, TWallpaperPlacement::Fit}); });
    SettingResult = TRUE;
    __imp_SystemParametersInfoW = system;
    EXPECT_EQ(SettingCalls, L"20  22;20 C:\\a.bmp 26;");
    EXPECT_EQ(failure.rfind("EOSError: System Error.  Code: 2.", 0), 0u) << failure;
}

TEST_F(ChangeWallTest, TheDesktopWallpaperObjectTakesThePlacementAndEachAttachedMonitorsPicture) {
    TStandInWallpaper standIn;
    const size_t monitors = WallpaperMonitorCount();
    ApplyWallpaperChange({{"C:\\Фото\\a.jpg"}, TWallpaperPlacement::Fill});
    ApplyWallpaperChange({{"a", "b", "c"}, TWallpaperPlacement::Center});
    ApplyWallpaperChange({{"a", "b"}, TWallpaperPlacement::Span});
    const std::wstring calls = standIn.Calls;
    standIn.Answer = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    const std::string failure = FailureOf([] { ApplyWallpaperChange({{"C:\\x.jpg"}, TWallpaperPlacement::Fit}); });
    EXPECT_EQ(monitors, 2u);
    EXPECT_EQ(calls, L"position 4;all=C:\\Фото\\a.jpg;position 0;M1=a;M3=b;position 5;all=a;");
    EXPECT_EQ(failure, "EOleSysError: " + SystemErrorMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Value("Wallpaper"), "<absent>");  // the values are the object's to write
}

TEST_F(ChangeWallTest, FailsWhenTheDesktopKeyCannotBeOpened) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    const auto apply = [] { ApplyWallpaperChange({{"C:\\a.bmp"}, TWallpaperPlacement::Stretch}); };
    EXPECT_EQ(FailureOf(apply), "ERegistryException: Failed to set data for 'Wallpaper'");
    EXPECT_EQ(Value("Wallpaper"), "<absent>");

    const std::string old = MakeKeyReadOnly(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    EXPECT_EQ(FailureOf(apply), "ERegistryException: Failed to set data for 'Wallpaper'");
    RestoreKeySecurity(HKEY_CURRENT_USER, "Control Panel\\Desktop", old);
    EXPECT_EQ(Value("TileWallpaper"), "<absent>");
}

TEST(OleError, SystemTextOrCodeForm) {
    try {
        RaiseOleError(E_ACCESSDENIED);  // the system has a text for it
        FAIL();
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.Message(), "Доступ запрещён");
        EXPECT_EQ(e.ErrorCode(), static_cast<int32_t>(E_ACCESSDENIED));
    }
    try {
        RaiseOleError(static_cast<long>(0xA00BCDEF));
        FAIL();
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.Message(), "OLE error a00bcdef");
    }
}
