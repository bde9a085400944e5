#include "open_dialog/open_dialog_pane_win.h"

#include <algorithm>
#include <optional>

#include "base/format.h"
#include "base/gdi_win.h"
#include "base/system_win.h"
#include "open_dialog/ansi_path_win.h"
#include "open_dialog/preview_window_win.h"
#include "ui/glyph_art.h"
#include "ui/layout.h"

namespace {
const char kPanePanelClass[] = "TPanePanel";
const char kPaintPanelClass[] = "TSilentPaintPanel";
const char kNone[] = "(None)";
const char kInvalidImage[] = "Invalid image";
const char kNoPictureLabel[] = "Picture:";
const char kSizeLabel[] = " (%dx%d)";
constexpr int kLabelHeight = 23;
constexpr int kButtonWidth = 23, kButtonHeight = 22, kButtonTop = 1;
// The sizes the Preview button's glyph was drawn at, for 100 %, 125 %, 150 % and 200 %.
constexpr int kGlyphSizes[] = {16, 20, 24, 32};

// The text height of a font on the screen.
int TextHeightOf(HFONT font) {
    const TWindowDc screen;
    const TSelection selection(screen.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    return GetTextMetricsA(screen.Get(), &metrics) && metrics.tmHeight > 0 ? metrics.tmHeight : 13;
}
// The paint panel's own window property: the font that WM_SETFONT gave it.
const char kFontProperty[] = "Lumo.Font";
}  // namespace

// ---- TPanePanel

void TPanePanel::Create(HWND parent, const RECT& bounds) {
    RegisterOwnClass(kPanePanelClass, 0, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateOwnWindow(kPanePanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                    parent, bounds);
}

// ---- TSilentPaintPanel

void TSilentPaintPanel::Create(HWND parent, const RECT& bounds) {
    RegisterOwnClass(kPaintPanelClass, 0, nullptr, nullptr);
    CreateOwnWindow(kPaintPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, parent, bounds);
}

RECT TSilentPaintPanel::InnerRect() const {
    RECT r;
    GetClientRect(Handle(), &r);
    InflateRect(&r, -kBevelWidth, -kBevelWidth);
    return r;
}

void TSilentPaintPanel::PaintFace(HDC dc) const {
    RECT r;
    GetClientRect(Handle(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const std::string caption = Caption();
    if (caption.empty()) return;
    // A panel that was given no font draws in the device context's own.
    const TSelection font(dc, GetPropA(Handle(), kFontProperty));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT TSilentPaintPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_ERASEBKGND:
                PaintFace(reinterpret_cast<HDC>(wParam));
                return 1;
            case WM_PAINT: {
                const TPaintScope paint(Handle());
                PaintFace(paint.Get());
                RECT r;
                GetClientRect(Handle(), &r);
                DrawEdge(paint.Get(), &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
                return 0;
            }
            case WM_SETFONT:
                SetPropA(Handle(), kFontProperty, reinterpret_cast<HANDLE>(wParam));
                return 0;
            case WM_GETFONT:
                return reinterpret_cast<LRESULT>(GetPropA(Handle(), kFontProperty));
            case WM_SETTEXT: {
                // The caption shows through the picture box: both are drawn again.
                const std::string old = Caption();
                const LRESULT result = DefaultProc(message, wParam, lParam);
                if (old != reinterpret_cast<const char*>(lParam))
                    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
                return result;
            }
            case WM_NCDESTROY:
                RemovePropA(Handle(), kFontProperty);
                return DefaultProc(message, wParam, lParam);
            default:
                return DefaultProc(message, wParam, lParam);
        }
    } catch (...) {
        // The pane never shows an error box.
        return 0;
    }
}

// ---- TPicturePane

TPicturePane::TPicturePane() {
    PreviewButton.OnClick = [this] { ShowPreview(); };
    PaintBox.OnDblClick = [this] { ShowPreview(); };
    PaintBox.SetStretch(true);
    PaintBox.SetProportional(true);
    PaintBox.SetCenter(true);
    PaintBox.SetIncrementalDisplay(true);
    // A picture that fails while drawing is noted on the panel behind it, never in a box.
    PaintBox.OnDrawError = [this] { PaintPanel.SetCaption(kInvalidImage); };
}

void TPicturePane::Attach(HWND dialog, const RECT& bounds) {
    dialog_ = dialog;
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    const RECT none{0, 0, 0, 0};
    // The pane's sizes and its button's glyph follow the dialog's font, which follows the
    // screen's scaling.
    textHeight_ = TextHeightOf(font);
    const int glyphSize = NearestGlyphSize(kGlyphSizes, textHeight_);
    const std::string glyph = glyphSize == kGlyphSizes[0] ? "PREVIEWGLYPH" : Format("PREVIEWGLYPH%d", glyphSize);
    PicturePanel.Create(dialog, bounds);
    // Created in tab order; the button over the label is created before it, so it lies above.
    PaintPanel.Create(PicturePanel.Handle(), none);
    PreviewButton.Create(PicturePanel.Handle(), none, glyph.c_str(), "Preview");
    PictureLabel.Create(PicturePanel.Handle(), none, "", SS_LEFT | SS_NOPREFIX | WS_CLIPSIBLINGS);
    PaintBox.Create(PaintPanel.Handle(), none);
    PictureLabel.SetFont(font);
    PaintPanel.SetFont(font);
    Place(bounds);
    PreviewButton.SetEnabled(false);

    PaintBox.Picture.Clear();
    lastPath_.clear();
    PaintPanel.SetCaption(kNone);
}

void TPicturePane::Place(const RECT& bounds) {
    if (!PicturePanel.Handle()) return;
    const auto scaled = [this](int value) { return ScaleByTextHeight(value, textHeight_); };
    const int b = scaled(TPanePanel::kBorderWidth), labelHeight = scaled(kLabelHeight);
    const int width = std::max(2 * b, static_cast<int>(bounds.right - bounds.left));
    const int height = std::max(2 * b + labelHeight, static_cast<int>(bounds.bottom - bounds.top));
    PicturePanel.SetBounds(bounds);
    PictureLabel.SetBounds(RECT{b, b, width - b, b + labelHeight});
    const RECT paint{b, b + labelHeight, width - b, height - b};
    PaintPanel.SetBounds(paint);
    // The button at the right end of the label row.
    const int buttonLeft = paint.right - scaled(kButtonWidth) - 2;
    PreviewButton.Place(
        RECT{buttonLeft, scaled(kButtonTop), buttonLeft + scaled(kButtonWidth), scaled(kButtonTop + kButtonHeight)});
    PaintBox.SetBounds(PaintPanel.InnerRect());
}

void TPicturePane::Detach() {
    PreviewButton.HideHint();
    dialog_ = nullptr;
}

void TPicturePane::SelectionChanged(const std::string& path) { SelectionChanged(WideText(path)); }

void TPicturePane::SelectionChanged(const std::wstring& path) {
    if (path == lastPath_) return;
    lastPath_ = path;
    try {
        const std::optional<std::string> ansi = AnsiPathOf(path);
        if (ansi && FileExists(*ansi) && GetFileAttributesA(ansi->c_str()) != INVALID_FILE_ATTRIBUTES) {
            try {
                ShowPicture(*ansi);
                return;
            } catch (...) {
                // A file that cannot be previewed is shown as no picture, without a message.
            }
        }
        ShowNoPicture();
    } catch (...) {
    }
}

void TPicturePane::ShowPicture(const std::string& path) {
    PaintBox.Picture.LoadFromFile(path);
    PictureLabel.SetCaption(Format(kSizeLabel, PaintBox.Picture.Width(), PaintBox.Picture.Height()));
    PreviewButton.SetEnabled(true);
    PaintPanel.SetCaption("");
}

void TPicturePane::ShowNoPicture() {
    PictureLabel.SetCaption(kNoPictureLabel);
    PreviewButton.SetEnabled(false);
    PaintBox.Picture.Clear();
    PaintPanel.SetCaption(kNone);
}

void TPicturePane::ShowPreview() {
    if (!dialog_) return;
    // The Preview window holds a copy of the pane's picture: what the pane shows, also when
    // the file has changed or gone since.
    TPreviewForm preview;
    preview.ShowModal(GetAncestor(dialog_, GA_ROOT), PaintBox.Picture);
}
