// The handlers of the Files, Options and About pages.
#include <algorithm>
#include <iterator>
#include <utility>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "base/system_win.h"
#include "open_dialog/ansi_path_win.h"
#include "open_dialog/dropped_files_win.h"
#include "open_dialog/open_dialog.h"
#include "settings/options_file.h"
#include "ui/application_win.h"
#include "ui/layout.h"
#include "wallpaper/weekday.h"

namespace {
// The program's web page.
const char kProgramWebPage[] = "http://lumo.example.org/soft/?id=010";

// Asked before the pictures whose files are missing leave the list.
const char kRemoveMissingQuestion[] =
    "Удалить из списка картинки, файлов которых нет (%d)?\r\n\r\nЕсли эти файлы на сетевом или съёмном "
    "диске, который сейчас не подключён, нажмите «Отмена», подключите диск, и картинки найдутся.";

bool IsDayName(const std::string& text) {
    return std::find(std::begin(DayNames) + 1, std::end(DayNames), text) != std::end(DayNames);
}

// Why a node cannot be used, looking at its file again: a day named after no weekday, which the
// automatic change never takes, or a picture whose file is missing.
const TListMark* MarkOf(const TTreeView& tree, HTREEITEM item) {
    if (!tree.Parent(item)) return IsDayName(tree.ItemText(item)) ? nullptr : &kNotADay;
    return FileExists(tree.ItemText(item)) ? nullptr : &kMissingPicture;
}
}  // namespace

// Files page.

std::vector<HTREEITEM> TMainForm::LookAtList() {
    std::vector<HTREEITEM> missing;
    for (const HTREEITEM item : tvFiles.Nodes()) {
        const TListMark* mark = MarkOf(tvFiles, item);
        tvFiles.SetMark(item, mark);
        if (mark == &kMissingPicture) missing.push_back(item);
    }
    return missing;
}

void TMainForm::PostLookAtList() {
    if (!std::exchange(lookPosted_, true)) PostMessageA(Handle(), WM_LOOKATLIST, 0, 0);
}

void TMainForm::ListInSight() {
    lookPosted_ = false;
    if (!IsWindowVisible(Handle())) return;
    // Drop targets from the first time the window is in sight (each registers once).
    listDrop_.Register(tvFiles.Handle());
    defaultDrop_.Register(gbOld.Handle());
    LookAtList();
    // The preview and «Поклеить сейчас!» follow a mark of the selected row that changed since
    // the selection rule ran: its file went, came back, or was renamed in place.
    const HTREEITEM selected = tvFiles.Selected();
    if (selected && !Application.InModalState() && (tvFiles.Mark(selected) != nullptr) != (previewNote_ != nullptr))
        tvFilesClick();
}

void TMainForm::DrawPreviewNote(HDC dc, const RECT& client) {
    if (!previewNote_) return;
    const TSelection font(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT text = client;
    InflateRect(&text, -ScaleByTextHeight(8, textHeight_), 0);
    RECT measured = text;
    DrawTextA(dc, previewNote_, -1, &measured, format | DT_CALCRECT);
    OffsetRect(&text, 0, (client.bottom - client.top - (measured.bottom - measured.top)) / 2);
    DrawTextA(dc, previewNote_, -1, &text, format);
}

void TMainForm::tvFilesChange() { tvFilesClick(); }

void TMainForm::tvFilesEdited(HTREEITEM item) {
    tvFiles.SetMark(item, MarkOf(tvFiles, item));
    if (item == tvFiles.Selected()) PostLookAtList();
}

void TMainForm::tvFilesClick() {
    bChange.SetEnabled(false);
    iPreview.Picture.Clear();
    previewNote_ = nullptr;
    iPreview.Invalidate();
    const HTREEITEM selected = tvFiles.Selected();
    if (!selected) return;
    const int level = tvFiles.Level(selected);
    sbAdd.SetEnabled(level == 0);
    sbDel.SetEnabled(tvFiles.Parent(selected) != nullptr);
    const TListMark* mark = MarkOf(tvFiles, selected);
    tvFiles.SetMark(selected, mark);
    if (mark) previewNote_ = mark->Reason;
    if (level != 1 || mark) return;
    iPreview.Picture.LoadFromFile(tvFiles.ItemText(selected));
    bChange.SetEnabled(true);
}

bool TMainForm::tvFilesKeyDown(WORD key) {
    // The glyph buttons take no focus: these keys are the keyboard's way to them.
    if (GetKeyState(VK_CONTROL) < 0) {
        if (key != VK_DELETE) return false;
        nRemoveMissingClick();
        return true;
    }
    if (key == VK_INSERT && sbAdd.Enabled()) {
        sbAddClick();
        return true;
    }
    if (key == VK_DELETE && sbDel.Enabled()) {
        sbDelClick();
        return true;
    }
    return false;
}

void TMainForm::tvFilesContextPopup(POINT at) {
    if (Application.InModalState()) return;
    pmFiles.SetItemEnabled(idAddPictures, sbAdd.Enabled());
    pmFiles.SetItemEnabled(idDeletePicture, sbDel.Enabled());
    pmFiles.SetItemEnabled(idRemoveMissing, !LookAtList().empty());
    UINT command = 0;
    {
        // The menu is a modal state, as the tray menu is; its command runs once it has closed.
        const TModalState menu(TModalState::KeepInput);
        command = pmFiles.Choose(Handle(), at);
    }
    if (command == idAddPictures) sbAddClick();
    if (command == idDeletePicture) sbDelClick();
    if (command == idRemoveMissing) nRemoveMissingClick();
}

void TMainForm::SaveAdded(const std::vector<std::string>& leftOut) {
    // Chosen files whose names the program cannot keep are named once the others are saved, also
    // after a save that failed and was shown.
    try {
        SaveOptions();
    } catch (...) {
        if (leftOut.empty()) throw;
        Application.HandleException();
    }
    if (!leftOut.empty()) throw Exception(LeftOutFilesMessage(leftOut));
}

void TMainForm::sbAddClick() {
    // A name being typed is kept before the dialog comes up, as a click elsewhere keeps it.
    tvFiles.EndEdit();
    if (!tvFiles.Selected()) return;
    if (OpenDialog.Execute()) {
        // Each file goes under the node selected at that moment; adding selects nothing.
        for (const std::string& file : OpenDialog.Files()) tvFiles.AddChild(tvFiles.Selected(), file);
    }
    SaveAdded(OpenDialog.LeftOut());
}

HTREEITEM TMainForm::DropDay(POINT at) const {
    HTREEITEM day = tvFiles.ItemAt(at);
    if (!day) day = tvFiles.Selected();
    while (const HTREEITEM parent = day ? tvFiles.Parent(day) : nullptr) day = parent;
    return day;
}

void TMainForm::tvFilesDragDrop(const std::vector<std::wstring>& files, POINT at) {
    tvFiles.EndEdit();
    const HTREEITEM day = DropDay(at);
    if (!day) return;
    const TChosenPictures chosen = DroppedPictures(files);
    for (const std::string& file : chosen.Files) tvFiles.AddChild(day, file);
    // The day shows what it was given.
    tvFiles.Expand(day);
    SaveAdded(chosen.LeftOut);
}

void TMainForm::PicturesDropped() {
    TDrop drop = std::exchange(dropped_, {});
    // A dialog, a box or a menu that came up meanwhile refuses it, as it refuses a drag.
    if (drop.Files.empty() || Application.InModalState()) return;
    if (drop.OnDefault)
        gbOldDragDrop(drop.Files.front());
    else
        tvFilesDragDrop(drop.Files, drop.At);
}

void TMainForm::gbOldDragDrop(const std::wstring& file) {
    const std::optional<std::string> path = AnsiPathOf(file);
    if (!path) throw Exception(DefaultPictureLeftOutMessage(ShownAnsiText(file)));
    DefaultWallpaper = *path;
    edOld.SetText(DefaultWallpaper);
}

void TMainForm::WireDrops() {
    // The list takes pictures and folders, onto a day or a picture, or for the selected day;
    // the default wallpaper's group one picture. Neither takes anything under a dialog, a box
    // or a menu.
    listDrop_.AcceptsFiles = [](const std::vector<std::wstring>& files) {
        return std::any_of(files.begin(), files.end(),
                           [](const std::wstring& file) { return IsFolder(file) || IsPicturePath(file); });
    };
    listDrop_.AcceptsAt = [this](POINT at) {
        const HTREEITEM day = Application.InModalState() ? nullptr : DropDay(at);
        tvFiles.SetDropHighlight(day);
        return day != nullptr;
    };
    listDrop_.OnLeave = [this] { tvFiles.SetDropHighlight(nullptr); };
    defaultDrop_.AcceptsFiles = [](const std::vector<std::wstring>& files) {
        return files.size() == 1 && !IsFolder(files.front()) && IsPicturePath(files.front());
    };
    defaultDrop_.AcceptsAt = [](POINT) { return !Application.InModalState(); };
    const auto keep = [this](bool onDefault) {
        return [this, onDefault](std::vector<std::wstring> files, POINT at) {
            dropped_ = {std::move(files), at, onDefault};
            PostMessageA(Handle(), WM_PICTURESDROPPED, 0, 0);
        };
    };
    listDrop_.OnDrop = keep(false);
    defaultDrop_.OnDrop = keep(true);
}

void TMainForm::sbDelClick() {
    if (const HTREEITEM selected = tvFiles.Selected()) DeleteNodes({selected});
}

void TMainForm::nRemoveMissingClick() {
    tvFiles.EndEdit();
    const size_t count = LookAtList().size();
    if (count == 0) return;
    {
        const TModalState box;
        if (MessageBoxA(Application.Handle(), Format(kRemoveMissingQuestion, static_cast<int>(count)).c_str(),
                        Application.Title().c_str(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
    }
    // Looked at again: a disk may have come back while the question was up.
    DeleteNodes(LookAtList());
}

void TMainForm::DeleteNodes(const std::vector<HTREEITEM>& nodes) {
    iPreview.Picture.Clear();
    {
        // The tree selects another node after each deletion; the rule runs once, below. A node's
        // descendants go before it.
        TNotifyEvent change = std::exchange(tvFiles.OnChange, nullptr);
        for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) tvFiles.Delete(*node);
        tvFiles.OnChange = std::move(change);
    }
    // The deletion is saved even when the next node's preview cannot be shown; a save that fails
    // then is shown first, and the preview's failure after it.
    try {
        tvFilesClick();
    } catch (...) {
        try {
            SaveOptions();
        } catch (...) {
            Application.HandleException();
        }
        throw;
    }
    SaveOptions();
}

void TMainForm::bChangeClick() {
    tvFiles.EndEdit();
    if (const HTREEITEM selected = tvFiles.Selected()) ChangeWall(tvFiles.ItemText(selected));
}

// Options page.

void TMainForm::edWaitChange() {
    // The text set anew runs this again, which finds it as the rule leaves it and changes nothing.
    const std::string text = edWait.Text();
    const TWaitField field = NormalizeWaitField(text, edWait.Selection().second);
    if (field.Text == text) return;
    edWait.SetText(field.Text);
    edWait.SetSelection(field.SelStart, field.SelEnd);
}

void TMainForm::edOldChange() {
    DefaultWallpaper = edOld.Text();
    oldPreview.Picture.Clear();
    if (FileExists(DefaultWallpaper)) oldPreview.Picture.LoadFromFile(DefaultWallpaper);
}

void TMainForm::cmbPlacementChange() {
    if (cmbPlacement.ItemIndex() < 0) return;
    DesktopOptions.Placement = static_cast<TWallpaperPlacement>(cmbPlacement.ItemIndex());
    // One picture spans all monitors: pictures of their own do not apply then, and the mark
    // stays for another placement.
    cbEachMonitor.SetEnabled(DesktopOptions.Placement != TWallpaperPlacement::Span);
}

void TMainForm::cbEachMonitorClick() { DesktopOptions.EachMonitor = cbEachMonitor.Checked(); }

void TMainForm::bObzorClick() {
    if (!OpenDialog.Execute()) return;
    // Only the first chosen file may become the default picture; the others are not used. One
    // whose name the program cannot keep changes nothing.
    if (OpenDialog.FirstLeftOut()) throw Exception(DefaultPictureLeftOutMessage(OpenDialog.LeftOut().front()));
    DefaultWallpaper = OpenDialog.FileName();
    edOld.SetText(DefaultWallpaper);
}

void TMainForm::bNowDefaultClick() {
    const std::string path = edOld.Text();
    if (FileExists(path)) ChangeWall(path);
}

// About page.

void TMainForm::stWWWClick() { ShellExecuteA(nullptr, "Open", kProgramWebPage, nullptr, nullptr, SW_SHOWNORMAL); }
