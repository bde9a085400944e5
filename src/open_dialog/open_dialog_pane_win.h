// The picture open dialog's preview pane: the file under the cursor as a picture with its
// size, and a button that opens the larger Preview window. The pane's windows are made each
// time the dialog is shown and go with it; the objects, and the picture, live with the dialog
// object. Nothing in the pane ever shows an error box.
#pragma once

#include <windows.h>

#include <string>

#include "open_dialog/open_dialog_button_win.h"
#include "open_dialog/open_dialog_image_win.h"
#include "ui/control_win.h"
#include "ui/static_controls_win.h"

// A face-coloured container without bevel; its children keep a border of 6 pixels.
class TPanePanel : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);
    static constexpr int kBorderWidth = 6;
};

// The panel behind the picture: a lowered outer and a raised inner bevel, its caption in the
// middle. Its face, caption included, is also the background of the image control inside it.
class TSilentPaintPanel : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);
    // Paints the face and the caption, without the bevels, in the panel's client coordinates.
    // Also what erasing its background paints, which the image control inside asks for.
    void PaintFace(HDC dc) const;
    // The area inside the bevels.
    RECT InnerRect() const;
    static constexpr int kBevelWidth = 2;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TPicturePane {
public:
    TPicturePane();
    TPicturePane(const TPicturePane&) = delete;
    TPicturePane& operator=(const TPicturePane&) = delete;

    TPanePanel PicturePanel{"PicturePanel"};
    TLabel PictureLabel{"PictureLabel"};
    TPreviewButton PreviewButton{"PreviewButton"};
    TSilentPaintPanel PaintPanel{"PaintPanel"};
    TPaneImage PaintBox{"PaintBox"};

    // Makes the pane's windows in the dialog's window at the given bounds, clears the picture
    // and forgets the last selection: the label empty, "(None)", the button disabled.
    void Attach(HWND dialog, const RECT& bounds);
    // Gives the pane new bounds in the dialog's window and lays out its parts again.
    void Place(const RECT& bounds);
    // The dialog closes: any hint it shows is hidden. The windows go with the dialog.
    void Detach();

    // The selection rule for the full path of the dialog's current selection: a path other
    // than the last one is previewed when it names a readable picture file, else the pane
    // shows that there is no picture. A name the ANSI code page cannot hold is opened by the
    // path the program would keep for it (AnsiPathOf); without one there is no picture.
    void SelectionChanged(const std::wstring& path);
    void SelectionChanged(const std::string& path);

    // Opens the Preview window with a copy of the picture.
    void ShowPreview();

private:
    void ShowPicture(const std::string& path);
    void ShowNoPicture();

    std::wstring lastPath_;
    // The text height of the dialog's font, which the pane's sizes follow (13 at 100 %).
    int textHeight_ = 13;
    HWND dialog_ = nullptr;
};
