// The handlers of the Files, Options and About pages.
#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/system_win.h"
#include "open_dialog/open_dialog.h"
#include "settings/options_file.h"
#include "ui/application_win.h"

namespace {
// The program's web page.
const char kProgramWebPage[] = "http://lumo.example.org/soft/?id=010";
}  // namespace

// Files page.

void TMainForm::tvFilesChange() { tvFilesClick(); }

void TMainForm::tvFilesClick() {
    bChange.SetEnabled(false);
    iPreview.Picture.Clear();
    const HTREEITEM selected = tvFiles.Selected();
    if (!selected) return;
    const int level = tvFiles.Level(selected);
    sbAdd.SetEnabled(level == 0);
    sbDel.SetEnabled(tvFiles.Parent(selected) != nullptr);
    if (level != 1) return;
    const std::string path = tvFiles.ItemText(selected);
    if (!FileExists(path)) return;
    iPreview.Picture.LoadFromFile(path);
    bChange.SetEnabled(true);
}

bool TMainForm::tvFilesKeyDown(WORD key) {
    // The glyph buttons take no focus: these keys are the keyboard's way to them.
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

void TMainForm::sbAddClick() {
    // A name being typed is kept before the dialog comes up, as a click elsewhere keeps it.
    tvFiles.EndEdit();
    if (!tvFiles.Selected()) return;
    if (OpenDialog.Execute()) {
        // Each file goes under the node selected at that moment; adding selects nothing.
        for (const std::string& file : OpenDialog.Files()) tvFiles.AddChild(tvFiles.Selected(), file);
    }
    // Chosen files whose names the program cannot keep are named once the others are saved, also
    // after a save that failed and was shown.
    try {
        SaveOptions();
    } catch (...) {
        if (OpenDialog.LeftOut().empty()) throw;
        Application.HandleException();
    }
    OpenDialog.RaiseLeftOutFiles();
}

void TMainForm::sbDelClick() {
    const HTREEITEM selected = tvFiles.Selected();
    if (!selected) return;
    iPreview.Picture.Clear();
    tvFiles.Delete(selected);
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
