#include "ui/list_rows.h"

const TListMark kMissingPicture{
    "нет файла",
    "Файл не найден: Лумо пропускает эту картинку. Если он на сетевом или съёмном диске, подключите диск."};
const TListMark kNotADay{"не день недели",
                         "Это имя не совпадает ни с одним днём недели, и Лумо никогда не берёт отсюда картинки. "
                         "Дни называются так: Понедельник, Вторник, Среда, Четверг, Пятница, Суббота, Воскресенье."};

namespace {
std::string PictureRow(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos || slash + 1 == path.size()) return std::string(path);
    // The folder's name: what lies between the backslash before it and the file name.
    const std::string_view folder = path.substr(0, slash);
    const std::string_view folderName = folder.substr(folder.find_last_of("\\/") + 1);
    std::string row(path.substr(slash + 1));
    if (!folderName.empty()) row.append(" — ").append(folderName);
    return row;
}
}  // namespace

std::string ListRowText(std::string_view text, bool picture, const TListMark* mark) {
    std::string row = picture ? PictureRow(text) : std::string(text);
    if (mark) row.append(" (").append(mark->Row).append(")");
    return row;
}
