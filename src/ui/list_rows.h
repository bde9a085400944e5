// What the rows of the wallpaper list show. A node's text is what the list keeps (a day's name,
// a picture's whole path); its row is made for reading: a day shows its name, a picture its file
// name first and then the name of the folder it lies in («Барсик.jpg — Коты»), so that a narrow
// list still tells the pictures apart. An entry that cannot be used says so at the end of its row
// («(нет файла)»), where a screen reader reads it too, and why in its tip.
#pragma once

#include <string>
#include <string_view>

// Why an entry of the list cannot be used: a word or two for its row, the reason for its tip.
struct TListMark {
    const char* Row;
    const char* Reason;
};
// A picture whose file is not there.
extern const TListMark kMissingPicture;
// A day node whose name is none of the weekdays' names.
extern const TListMark kNotADay;

// The row of a node: a day's text as it is, or a picture's file name, " — " and its folder's
// name (a text with no folder, or no name after it, as it is), then the mark's word in brackets.
std::string ListRowText(std::string_view text, bool picture, const TListMark* mark = nullptr);
