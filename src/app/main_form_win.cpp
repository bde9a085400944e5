#include "app/main_form_win.h"

#include <span>
#include <utility>

#include "base/exceptions.h"
#include "base/system_win.h"
#include "png/png_resize.h"
#include "settings/wallpaper_list.h"
#include "ui/application_win.h"
#include "ui/layout.h"

TMainForm* MainForm = nullptr;

namespace {

TFontHandle CreateFontOf(const char* face, int height, int weight) {
    return TFontHandle(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

// "MS Sans Serif" is a bitmap font of a few sizes; where it has none near the scaled height (at
// 200 % and above) its TrueType twin takes over, so that the text still follows the scaling.
// So it does for bold text at any scaled size: the bitmap font's larger sizes may come without
// a bold of their own, drawn as the regular one.
TFontHandle CreateWindowFont(int height, int weight) {
    TFontHandle font = CreateFontOf("MS Sans Serif", height, weight);
    TEXTMETRICA metrics{};
    {
        const TWindowDc screen;
        const TSelection selection(screen.Get(), font.Get());
        if (!GetTextMetricsA(screen.Get(), &metrics)) return font;
    }
    const bool sizeDrawn = metrics.tmHeight - metrics.tmInternalLeading >= -height - 1;
    if (sizeDrawn && (weight <= FW_NORMAL || height == ScaleFontHeight(-11, 96))) return font;
    return CreateFontOf("Microsoft Sans Serif", height, weight);
}

// The About picture, kept in the resources as stored picture data.
// Data kept in the resources (RT_RCDATA).
std::string_view ResourceData(const char* name) {
    const HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name, RT_RCDATA);
    if (!resource) RaiseLastOSError();
    const void* data = LockResource(LoadResource(module, resource));
    return {static_cast<const char*>(data), SizeofResource(module, resource)};
}

// The About picture as wide as its page at the window's own size, which at 100 % is the
// picture's width: there the stored picture as drawn; at any other scaling the artwork of twice
// the size, resized by area with its proportions kept.
void LoadAboutPicture(TPicture& picture, int width) {
    constexpr int kWidth = 410, kHeight = 310;
    if (width == kWidth || width <= 0) {
        picture.LoadFromStoredData(ResourceData("ABOUTPICTURE"));
        return;
    }
    const std::string_view art = ResourceData("ABOUTPICTURE2X");
    const TPngImage image = TPngImage::Decode(reinterpret_cast<const uint8_t*>(art.data()), art.size());
    const int height = ScaleByTextHeight(kHeight, width, kWidth);
    picture.SetGraphic(std::make_unique<TPNGObject>(ResizePngImage(image, width, height)));
}

constexpr TAnchors kAllSides = akLeft | akTop | akRight | akBottom;

// A design rectangle (left, top, width, height) scaled to the screen's text height.
RECT Scaled(const TBounds& design, int textHeight) {
    const TBounds b = ScaleBounds(design, textHeight);
    return RECT{b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
}

// One of the window's controls, with the call that creates it: with its text, or without for
// the tree and the images, which have none.
struct TAnyControl {
    template <typename Control>
    TAnyControl(Control& control)
        : Wrapper(control), Create([](TControl& c, HWND parent, const RECT& bounds, const char* text) {
              auto& typed = static_cast<Control&>(c);
              if constexpr (requires { typed.Create(parent, bounds, text); })
                  typed.Create(parent, bounds, text);
              else
                  typed.Create(parent, bounds);
          }) {}
    TControl& Wrapper;
    void (*Create)(TControl&, HWND, const RECT&, const char*);
};

// A row of a page's table: a control, its parent, its bounds at design size (left, top, width,
// height), its anchors, its text (a glyph button's is its glyph's resource name) and its
// alignment.
struct TControlRow {
    TAnyControl Control;
    TControl& Parent;
    TBounds Design;
    TAnchors Anchors = kDefaultAnchors;
    const char* Text = "";
    TAlign Align = TAlign::alNone;
};

// The window's client area and a page's at design size.
constexpr TBounds kClientDesign{0, 0, 418, 339};
constexpr TBounds kPageDesign{0, 0, 410, 311};

// Creates the controls of a table in its order, scaled to the screen's text height. A control
// that only keeps its place (anchors left and top) gets no placement.
void CreateControls(std::span<const TControlRow> rows, int textHeight) {
    for (const TControlRow& row : rows) {
        row.Control.Create(row.Control.Wrapper, row.Parent.Handle(), Scaled(row.Design, textHeight), row.Text);
        if (row.Anchors == kDefaultAnchors && row.Align == TAlign::alNone) continue;
        // The parent is a page, or a group box of the same table.
        TBounds parent = kPageDesign;
        for (const TControlRow& other : rows)
            if (&other.Control.Wrapper == &row.Parent) parent = other.Design;
        const RECT size = Scaled({0, 0, parent.Width, parent.Height}, textHeight);
        row.Control.Wrapper.SetAnchors(row.Anchors, row.Align, SIZE{size.right, size.bottom});
    }
}

// Fits the controls of a container, and those of every container inside it, to their actual
// sizes.
void ArrangeContainers(TControl& container) {
    container.ArrangeChildren();
    for (TControl* child : container.Children())
        if (!child->Children().empty()) ArrangeContainers(*child);
}

}  // namespace

TMainForm::TMainForm() : TForm("MainForm") {
    // The window was designed at 96 pixels per inch with a text height of 13; on other screens
    // the font follows the resolution and every size follows the font's text height.
    {
        const TWindowDc screen;
        const int pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        const int fontHeight = ScaleFontHeight(-11, pixelsPerInch);
        font_ = CreateWindowFont(fontHeight, FW_NORMAL);
        boldFont_ = CreateWindowFont(fontHeight, FW_BOLD);
        if (pixelsPerInch != 96) {
            const TSelection selected(screen.Get(), font_.Get());
            TEXTMETRICA metrics;
            GetTextMetricsA(screen.Get(), &metrics);
            textHeight_ = metrics.tmHeight;
        }
    }
    // The notification area shows the application's small icon (the application owns it).
    icon_ = Application.Icon(true);

    const RECT client = Scaled(kClientDesign, textHeight_);
    RECT frame = client;
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    CreateForm("TMainForm", "Лумо. версия 1.2", frame.right - frame.left, frame.bottom - frame.top);
    OnClose = [this] { FormClose(); };
    TrayIcon.Attach(Handle());

    pcMain.Create(Handle(), client);
    pcMain.SetAnchors(kDefaultAnchors, TAlign::alClient, SIZE{client.right, client.bottom});
    pcMain.SetFont(font_.Get());
    pcMain.AddPage("tshFiles", "Файлы");
    pcMain.AddPage("tshOptions", "Опции");
    pcMain.AddPage("tshAbout", "О программе...");
    pcMain.SetActivePageIndex(0);
    pcMain.OnChange = [this] { PostLookAtList(); };
    CreateFilesPage();
    CreateOptionsPage();
    CreateAboutPage();
    WireDrops();
    ApplyFont(*this);
    bNowDefault.SetFont(boldFont_.Get());
    stWWW.SetFont(boldFont_.Get());
    // The labels are sized to their texts; the link's sunken edge lies around its text.
    Label2.SizeToText();
    lbPlacement.SizeToText();
    stWWW.SizeToText(GetSystemMetrics(SM_CXEDGE));
    CreateTrayMenu();
    // The pages and groups were laid out at their design sizes; fit them to the actual ones.
    for (size_t page = 0; page < pcMain.PageCount(); ++page) ArrangeContainers(pcMain.Page(page));

    Application.OnMinimize = [this] { ApplicationEventsMinimize(); };
    Application.OnRestore = [this] { ApplicationEventsRestore(); };
    Application.OnModalStatesEnded = [this] {
        if (planned_) PostMessageA(Handle(), WM_CHANGEPLANNED, 0, 0);
    };
}

TMainForm::~TMainForm() {
    Application.OnMinimize = nullptr;
    Application.OnRestore = nullptr;
    Application.OnModalStatesEnded = nullptr;
    if (Handle()) DestroyWindow(Handle());
}

// Controls are created in their tab order: the window order is the order Tab walks. Anchors and
// alignment follow the window's geometry rules (ui/layout.h).
void TMainForm::CreateFilesPage() {
    const TControlRow rows[] = {
        {tvFiles, tshFiles(), {0, 0, 156, 280}, kAllSides},
        {gPreview, tshFiles(), {161, 0, 249, 266}, akTop | akRight | akBottom, " Предпросмотр "},
        {iPreview, gPreview, {8, 15, 233, 243}, kAllSides},
        {bChange, tshFiles(), {164, 275, 128, 25}, akRight | akBottom, "Поклеить сейчас!"},
        {sbAdd, tshFiles(), {0, 285, 23, 22}, akLeft | akBottom, "Добавить"},
        {sbDel, tshFiles(), {32, 285, 23, 22}, akLeft | akBottom, "Удалить"},
    };
    CreateControls(rows, textHeight_);
    tvFiles.SetIndent(ScaleByTextHeight(19, textHeight_));
    tvFiles.BeginUpdate();
    tvFiles.Assign(BuiltInWallpaperList());
    tvFiles.EndUpdate();
    iPreview.SetStretch(true);
    iPreview.SetProportional(true);
    // The glyphs, 7 pixels at design size, are drawn at the window's scale.
    const int glyphSize = ScaleByTextHeight(7, textHeight_);
    sbAdd.SetGlyph(SignGlyph(TGlyphSign::Plus, glyphSize), RGB(0, 170, 0));
    sbDel.SetGlyph(SignGlyph(TGlyphSign::Minus, glyphSize), RGB(220, 0, 0));
    sbAdd.SetEnabled(false);
    sbDel.SetEnabled(false);
    tvFiles.OnChange = [this] { tvFilesChange(); };
    tvFiles.OnClick = [this] { tvFilesClick(); };
    tvFiles.OnKeyDown = [this](WORD key) { return tvFilesKeyDown(key); };
    tvFiles.OnContextMenu = [this](POINT at) { tvFilesContextPopup(at); };
    tvFiles.OnEdited = [this](HTREEITEM item) { tvFilesEdited(item); };
    iPreview.OnDraw = [this](HDC dc, const RECT& client) { DrawPreviewNote(dc, client); };
    pmFiles.AddItem(idAddPictures, "Добавить картинки...\tIns");
    pmFiles.AddItem(idDeletePicture, "Удалить из списка\tDel");
    pmFiles.AddSeparator(idSeparator2);
    pmFiles.AddItem(idRemoveMissing, "Удалить все ненайденные\tCtrl+Del");
    bChange.OnClick = [this] { bChangeClick(); };
    sbAdd.OnClick = [this] { sbAddClick(); };
    sbDel.OnClick = [this] { sbDelClick(); };
}

void TMainForm::CreateOptionsPage() {
    const TControlRow rows[] = {
        {cbRun, tshOptions(), {8, 8, 393, 17}, kDefaultAnchors, "Запуск при старте системы"},
        {cbTray, tshOptions(), {24, 56, 377, 17}, kDefaultAnchors, "Оставаться в трее после запуска"},
        {edWait, tshOptions(), {264, 29, 49, 21}, kDefaultAnchors, "10"},
        {Label2, tshOptions(), {24, 32, 229, 13}, kDefaultAnchors, "Пауза между запуском и сменой обоев, сек."},
        {lbPlacement, tshOptions(), {24, 83, 229, 13}, kDefaultAnchors, "Положение картинки на экране"},
        {cmbPlacement, tshOptions(), {264, 79, 137, 21}},
        {cbEachMonitor, tshOptions(), {24, 106, 377, 17}, kDefaultAnchors, "Разные картинки на каждом мониторе"},
        {gbOld, tshOptions(), {0, 130, 410, 181}, kAllSides, " Лумо по умолчанию ", TAlign::alBottom},
        {edOld, gbOld, {8, 24, 303, 21}, akLeft | akTop | akRight},
        {bObzor, gbOld, {321, 24, 75, 25}, akTop | akRight, "Обзор..."},
        {bNowDefault, gbOld, {8, 56, 147, 25}, kDefaultAnchors, "Поклеить сейчас!"},
        {gbOldPreview, gbOld, {8, 88, 392, 85}, kAllSides, " Предпросмотр "},
        {oldPreview, gbOldPreview, {8, 15, 376, 62}, kAllSides},
    };
    CreateControls(rows, textHeight_);
    oldPreview.SetStretch(true);
    oldPreview.SetProportional(true);
    // The placements in the order of Windows' own Personalisation page, which is their order.
    for (int placement = 0; placement < kPlacementCount; ++placement)
        cmbPlacement.AddItem(PlacementCaption(static_cast<TWallpaperPlacement>(placement)));
    cmbPlacement.SetItemIndex(static_cast<int>(DesktopOptions.Placement));
    cbRun.OnClick = [this] { cbRunClick(); };
    edWait.OnChange = [this] { edWaitChange(); };
    cmbPlacement.OnChange = [this] { cmbPlacementChange(); };
    cbEachMonitor.OnClick = [this] { cbEachMonitorClick(); };
    edOld.OnChange = [this] { edOldChange(); };
    bObzor.OnClick = [this] { bObzorClick(); };
    bNowDefault.OnClick = [this] { bNowDefaultClick(); };
}

void TMainForm::CreateAboutPage() {
    // The link lies over the picture: it comes first in the window order, so it stays on top.
    const TControlRow rows[] = {
        {stWWW, tshAbout(), {24, 264, 139, 17}, kDefaultAnchors, " страница программы "},
        {iAbout, tshAbout(), {0, 0, 410, 310}},
    };
    CreateControls(rows, textHeight_);
    stWWW.OnClick = [this] { stWWWClick(); };
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
        SendMessageA(child->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        ApplyFont(*child);
    }
}

LRESULT TMainForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MYNOTIFY) {
        WMMyNotify(wParam, lParam);
        return 0;
    }
    if (TrayIcon.HandleMessage(message, wParam)) return 0;
    if (dayChange_.IsDayEvent(message, wParam)) {
        // Only noted: the system or another program waits for the answer, and the look, its
        // file tests and the wallpaper calls run later from the program's own queue.
        PostMessageA(Handle(), WM_CHECKDAY, 0, 0);
        if (message == WM_TIMER) return 0;
        if (message == WM_POWERBROADCAST) return TRUE;
    }
    switch (message) {
        case WM_CHECKDAY:
            CheckDay();
            return 0;
        case WM_CHANGEPLANNED:
            ChangePlanned();
            return 0;
        case WM_TIMER:
            if (wParam != kTurnTimer) break;
            KillTimer(Handle(), kTurnTimer);
            ChangePlanned();
            return 0;
        case WM_DESTROY:
            dayChange_.Detach();
            listDrop_.Revoke();
            defaultDrop_.Revoke();
            // A plan under way is given up; its thread ends by itself.
            planner_.Cancel();
            planned_.reset();
            break;
        case WM_SHOWWINDOW:
            if (wParam) PostLookAtList();
            break;
        case WM_ACTIVATE:
            // Back from Explorer, where files may have been moved.
            if (LOWORD(wParam) != WA_INACTIVE) PostLookAtList();
            break;
        case WM_LOOKATLIST:
            ListInSight();
            return 0;
        case WM_PICTURESDROPPED:
            PicturesDropped();
            return 0;
        case WM_LOADABOUTPICTURE:
            // The picture follows the window's scale, not the page's live size: a window
            // started maximised is restored to its own size later.
            if (iAbout.Picture.Empty()) {
                const RECT page = pcMain.PageRect(Scaled(kClientDesign, textHeight_));
                LoadAboutPicture(iAbout.Picture, page.right - page.left);
            }
            if (!runProbeFailure_.empty()) throw ERegistryException(std::exchange(runProbeFailure_, {}));
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
