#include "app/main_form_win.h"

#include "base/system_win.h"
#include "settings/wallpaper_list.h"
#include "ui/application_win.h"
#include "ui/layout.h"

std::string DefaultWallpaper;
int32_t TrayIconShown = 0;
NOTIFYICONDATAA TrayIconData{};
TMainForm* MainForm = nullptr;

namespace {

HFONT CreateWindowFont(int height, int weight) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

// The About picture, kept in the resources as stored picture data.
std::string_view AboutPictureData() {
    const HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "ABOUTPICTURE", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) RaiseLastOSError();
    const void* data = LockResource(LoadResource(module, resource));
    return {static_cast<const char*>(data), SizeofResource(module, resource)};
}

constexpr TAnchors kAllSides = akLeft | akTop | akRight | akBottom;

// Posted at creation: the About picture is decoded when the message loop starts, so that an
// automatic run that ends before the loop never decodes it.
constexpr UINT WM_LOADABOUTPICTURE = WM_APP + 1;

}  // namespace

TMainForm::TMainForm() : TForm("MainForm") {
    // The window was designed at 96 pixels per inch with a text height of 13; on other screens
    // the font follows the resolution and every size follows the font's text height.
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    const int fontHeight = ScaleFontHeight(-11, pixelsPerInch);
    font_ = CreateWindowFont(fontHeight, FW_NORMAL);
    boldFont_ = CreateWindowFont(fontHeight, FW_BOLD);
    if (pixelsPerInch != 96) {
        HGDIOBJ old = SelectObject(screen, font_);
        TEXTMETRICA metrics;
        GetTextMetricsA(screen, &metrics);
        SelectObject(screen, old);
        textHeight_ = metrics.tmHeight;
    }
    ReleaseDC(nullptr, screen);
    icon_ = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");

    RECT frame = Scaled(0, 0, 418, 339);
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    CreateForm("TMainForm", "Лумо. версия 1.2", frame.right - frame.left, frame.bottom - frame.top);
    OnClose = [this] { FormClose(); };
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    // Run as administrator (to register the start with Windows), the program would not get the
    // shell's broadcast from a program of lower rights unless it lets it through.
    if (taskbarCreated_) ChangeWindowMessageFilterEx(Handle(), taskbarCreated_, MSGFLT_ALLOW, nullptr);

    pcMain.Create(Handle(), Scaled(0, 0, 418, 339));
    pcMain.SetAnchors(kDefaultAnchors, TAlign::alClient, DesignSize(418, 339));
    pcMain.SetFont(font_);
    pcMain.AddPage("tshFiles", "Файлы");
    pcMain.AddPage("tshOptions", "Опции");
    pcMain.AddPage("tshAbout", "О программе...");
    pcMain.SetActivePageIndex(0);
    CreateFilesPage(tshFiles().Handle());
    CreateOptionsPage(tshOptions().Handle());
    CreateAboutPage(tshAbout().Handle());
    ApplyFont(*this);
    bNowDefault.SetFont(boldFont_);
    stWWW.SetFont(boldFont_);
    // The labels are sized to their texts; the link's sunken edge lies around its text.
    Label2.SizeToText();
    stWWW.SizeToText(GetSystemMetrics(SM_CXEDGE));
    CreateTrayMenu();
    // The pages and groups were laid out at their design sizes; fit them to the actual ones.
    for (TControl* container :
         {static_cast<TControl*>(&tshFiles()), static_cast<TControl*>(&gPreview), static_cast<TControl*>(&tshOptions()),
          static_cast<TControl*>(&gbOld), static_cast<TControl*>(&gbOldPreview), static_cast<TControl*>(&tshAbout())})
        container->ArrangeChildren();

    Application.OnMinimize = [this] { ApplicationEventsMinimize(); };
    Application.OnRestore = [this] { ApplicationEventsRestore(); };
}

TMainForm::~TMainForm() {
    Application.OnMinimize = nullptr;
    Application.OnRestore = nullptr;
    if (Handle()) DestroyWindow(Handle());
    DeleteObject(font_);
    DeleteObject(boldFont_);
}

SIZE TMainForm::DesignSize(int width, int height) const {
    return SIZE{ScaleByTextHeight(width, textHeight_), ScaleByTextHeight(height, textHeight_)};
}

RECT TMainForm::Scaled(int left, int top, int width, int height) const {
    const TBounds b = ScaleBounds({left, top, width, height}, textHeight_);
    return RECT{b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
}

// Controls are created in their tab order: the window order is the order Tab walks.
void TMainForm::CreateFilesPage(HWND page) {
    tvFiles.Create(page, Scaled(0, 0, 156, 280));
    tvFiles.SetIndent(ScaleByTextHeight(19, textHeight_));
    tvFiles.SetAnchors(kAllSides, TAlign::alNone, DesignSize(410, 311));
    tvFiles.BeginUpdate();
    tvFiles.Assign(BuiltInWallpaperList());
    tvFiles.EndUpdate();
    tvFiles.OnChange = [this] { tvFilesChange(); };
    tvFiles.OnClick = [this] { tvFilesClick(); };
    tvFiles.OnKeyDown = [this](WORD key) { return tvFilesKeyDown(key); };
    gPreview.Create(page, Scaled(161, 0, 249, 266), " Предпросмотр ");
    gPreview.SetAnchors(akTop | akRight | akBottom, TAlign::alNone, DesignSize(410, 311));
    iPreview.Create(gPreview.Handle(), Scaled(8, 15, 233, 243));
    iPreview.SetAnchors(kAllSides, TAlign::alNone, DesignSize(249, 266));
    iPreview.SetStretch(true);
    iPreview.SetProportional(true);
    bChange.Create(page, Scaled(164, 275, 128, 25), "Поклеить сейчас!");
    bChange.SetAnchors(akRight | akBottom, TAlign::alNone, DesignSize(410, 311));
    bChange.OnClick = [this] { bChangeClick(); };
    sbAdd.Create(page, Scaled(0, 285, 23, 22), "GLYPHADD", "Добавить");
    sbAdd.SetAnchors(akLeft | akBottom, TAlign::alNone, DesignSize(410, 311));
    sbAdd.SetEnabled(false);
    sbAdd.OnClick = [this] { sbAddClick(); };
    sbDel.Create(page, Scaled(32, 285, 23, 22), "GLYPHDEL", "Удалить");
    sbDel.SetAnchors(akLeft | akBottom, TAlign::alNone, DesignSize(410, 311));
    sbDel.SetEnabled(false);
    sbDel.OnClick = [this] { sbDelClick(); };
}

void TMainForm::CreateOptionsPage(HWND page) {
    cbRun.Create(page, Scaled(8, 8, 393, 17), "Запуск при старте системы");
    cbRun.OnClick = [this] { cbRunClick(); };
    cbTray.Create(page, Scaled(24, 56, 377, 17), "Оставаться в трее после запуска");
    edWait.Create(page, Scaled(264, 29, 49, 21), "10");
    edWait.OnChange = [this] { edWaitChange(); };
    Label2.Create(page, Scaled(24, 32, 229, 13), "Пауза между запуском и сменой обоев, сек.");
    gbOld.Create(page, Scaled(0, 82, 410, 229), " Лумо по умолчанию ");
    gbOld.SetAnchors(kAllSides, TAlign::alBottom, DesignSize(410, 311));
    edOld.Create(gbOld.Handle(), Scaled(8, 24, 303, 21), "");
    edOld.SetAnchors(akLeft | akTop | akRight, TAlign::alNone, DesignSize(410, 229));
    edOld.OnChange = [this] { edOldChange(); };
    bObzor.Create(gbOld.Handle(), Scaled(321, 24, 75, 25), "Обзор...");
    bObzor.SetAnchors(akTop | akRight, TAlign::alNone, DesignSize(410, 229));
    bObzor.OnClick = [this] { bObzorClick(); };
    bNowDefault.Create(gbOld.Handle(), Scaled(8, 56, 147, 25), "Поклеить сейчас!");
    bNowDefault.OnClick = [this] { bNowDefaultClick(); };
    gbOldPreview.Create(gbOld.Handle(), Scaled(8, 94, 392, 127), " Предпросмотр ");
    gbOldPreview.SetAnchors(kAllSides, TAlign::alNone, DesignSize(410, 229));
    oldPreview.Create(gbOldPreview.Handle(), Scaled(8, 15, 376, 102));
    oldPreview.SetAnchors(kAllSides, TAlign::alNone, DesignSize(392, 127));
    oldPreview.SetStretch(true);
    oldPreview.SetProportional(true);
}

void TMainForm::CreateAboutPage(HWND page) {
    // The link lies over the picture: it comes first in the window order, so it stays on top.
    stWWW.Create(page, Scaled(24, 264, 139, 17), " страница программы ", SS_CENTER | SS_SUNKEN);
    stWWW.OnClick = [this] { stWWWClick(); };
    iAbout.Create(page, Scaled(0, 0, 410, 310));
    iAbout.SetAutoSize(true);
    PostMessageA(Handle(), WM_LOADABOUTPICTURE, 0, 0);
}

void TMainForm::CreateTrayMenu() {
    pmTray.AddItem(idWall, "Поклеить другие лумо");
    pmTray.AddItem(idRestore, "Восстановить");
    pmTray.AddSeparator(idSeparator1);
    pmTray.AddItem(idExit, "Выход");
    pmTray.SetDefaultItem(idRestore);
}

void TMainForm::ApplyFont(const TControl& parent) {
    for (const TControl* child : parent.Children()) {
        SendMessageA(child->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        ApplyFont(*child);
    }
}

LRESULT TMainForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MYNOTIFY) {
        WMMyNotify(wParam, lParam);
        return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // The shell's taskbar was made anew: the icon has to be registered again.
        if (TrayIconShown == 1) Shell_NotifyIconA(NIM_ADD, &TrayIconData);
        return 0;
    }
    switch (message) {
        case WM_LOADABOUTPICTURE:
            if (iAbout.Picture.Empty()) iAbout.Picture.LoadFromStoredData(AboutPictureData());
            return 0;
        case WM_COMMAND:
            if (lParam == 0 && HIWORD(wParam) == 0) {
                // The menu's commands come from the icon, which takes no input under a dialog
                // or a box; only closing is asked for then, and it waits.
                switch (LOWORD(wParam)) {
                    case idWall:
                        if (!Application.InModalState()) nWallClick();
                        return 0;
                    case idRestore:
                        if (!Application.InModalState()) nRestoreClick();
                        return 0;
                    case idExit:
                        nExitClick();
                        return 0;
                }
            }
            break;
        case WM_ENDSESSION:
            if (wParam) EndSession();
            return 0;
    }
    return TForm::WindowProc(message, wParam, lParam);
}
