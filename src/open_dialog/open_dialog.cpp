#include "open_dialog/open_dialog.h"

#include <algorithm>

std::string DialogFilterList(std::string_view filter) {
    std::string list(filter);
    std::replace(list.begin(), list.end(), '|', '\0');
    list.append(2, '\0');
    return list;
}

std::string DialogInitialFileName(std::string_view fileName) {
    return std::string(fileName.substr(0, std::min(fileName.size(), kMaxDialogFileName)));
}

namespace {

// Reads the part that starts at `from`: up to the next zero character or the end of the text.
// Moves `from` past the part and its zero character.
std::wstring_view NextPart(std::wstring_view text, std::size_t& from) {
    if (from >= text.size()) return {};
    const std::size_t end = std::min(text.find(L'\0', from), text.size());
    const std::wstring_view part = text.substr(from, end - from);
    from = end + 1;
    return part;
}

bool IsFullName(std::wstring_view name) {
    if (!name.empty() && name[0] == L'\\') return true;
    return name.size() >= 4 && name[1] == L':' && name[2] == L'\\';
}

}  // namespace

std::vector<std::wstring> SplitDialogResult(std::wstring_view result) {
    std::size_t at = 0;
    std::wstring folder(NextPart(result, at));
    std::wstring_view name = NextPart(result, at);
    if (name.empty()) return {folder};
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    std::vector<std::wstring> files;
    for (; !name.empty(); name = NextPart(result, at))
        files.push_back(IsFullName(name) ? std::wstring(name) : folder + std::wstring(name));
    return files;
}

namespace {
const char kLeftOutWhy[] =
    "есть знаки, которых нет в кодовой странице Windows (здесь они показаны как \"?\"), "
    "и программа не может запомнить ";
}  // namespace

std::string LeftOutFilesMessage(const std::vector<std::string>& shownNames) {
    if (shownNames.empty()) return {};
    if (shownNames.size() == 1)
        return "Файл \"" + shownNames[0] + "\" не добавлен: в его имени " + kLeftOutWhy + "его путь. Переименуйте файл";
    std::string message = "Эти файлы не добавлены:";
    for (const std::string& name : shownNames) message += "\r\n" + name;
    return message + "\r\nВ их именах " + kLeftOutWhy + "их пути. Переименуйте эти файлы";
}

std::string DefaultPictureLeftOutMessage(const std::string& shownName) {
    return "Файл \"" + shownName + "\" не выбран картинкой по умолчанию: в его имени " + kLeftOutWhy +
           "его путь. Переименуйте файл";
}

TDialogPosition PlaceDialogOnMonitor(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight, int width,
                                     int height) {
    return {monitorLeft + (monitorWidth - width) / 2, monitorTop + (monitorHeight - height) / 3};
}
